// What orlent-cli reports of a transfer, over the real link library and
// orlent-termsim on loopback: the send summary counts the records a terminal
// stored and says why a terminal failed; an upload ends where the terminal's
// records end; numbers outside their range are refused before anything runs.
#include <filesystem>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "tests/cli/summary_row.h"
#include "tests/faults/fault_matrix.h"
#include "tests/support/closed_port.h"

namespace {

// A PLU download file line numbered `plu`.
std::string PluLine(int plu) {
  return "1\t" + std::to_string(plu) + "\t0\tItem " + std::to_string(plu) + "\t100\t0\t1\t0\t0";
}

class TransferFaults : public FaultMatrix {
 protected:
  // Sends the PLUs `plus` with orlent-cli to 127.0.0.2, served by a simulator
  // with `simulatorFlags` (or by nothing, when `listen` is false).
  ProcessResult Send(const std::vector<int>& plus, const Lines& simulatorFlags, bool listen,
                     const Lines& sendFlags) {
    Lines file;
    for (int plu : plus) file.push_back(PluLine(plu));
    folder.Write("PLU-Down.txt", FileText(file));
    std::unique_ptr<SimulatorProcess> terminal;
    std::unique_ptr<ClosedPort> closed;
    if (listen) {
      Lines args{"--store", folder.File("store"), "--listen", "127.0.0.2:0"};
      args.insert(args.end(), simulatorFlags.begin(), simulatorFlags.end());
      terminal = std::make_unique<SimulatorProcess>(args);
      WriteIni(terminal->port());
    } else {
      closed = std::make_unique<ClosedPort>("127.0.0.2");
      WriteIni(closed->port());
    }
    Lines cli{"--folder", folder.path(), "send", "--kind", "plu", "--pause-ms", "0"};
    cli.insert(cli.end(), sendFlags.begin(), sendFlags.end());
    return RunProcess(ORLENT_CLI_PATH, cli, folder.path());
  }
  void WriteIni(int port) {
    folder.Write("Orlent.ini", "[Terminal]\r\nTerminalPort=" + std::to_string(port) +
                                   "\r\nTerminalNums=1\r\nTerminalIP_1=127.0.0.2\r\n"
                                   "TerminalChecked_1=1\r\n");
  }
};

struct SendCase {
  std::string name;
  std::vector<int> plus;
  Lines simulatorFlags;
  bool listen;
  std::string outcome;
  int stored;
  Lines sendFlags = {"--answer-timeout-ms", std::to_string(FaultMatrix::kTimeoutMs)};
};

TEST_F(TransferFaults, TheSendSummaryCountsWhatTheTerminalStoredAndSaysWhy) {
  const SendCase cases[] = {
      {"every record stored, with the longest answer time-out",
       {1, 2, 3},
       {},
       true,
       "sent",
       3,
       {"--answer-timeout-ms", "3600000"}},
      {"memory full at the third record",
       {1, 2, 3},
       {"--capacity", "2"},
       true,
       "refused: ERR: 90 Memory full",
       2},
      {"silent after one answer", {1, 2, 3}, {"--drop-after", "1"}, true, "timed out", 1},
      {"closed after one answer", {1, 2, 3}, {"--close-after", "1"}, true, "closed by terminal", 1},
      {"nothing listens", {1, 2, 3}, {}, false, "connect failed: connection refused", 0},
  };
  for (const SendCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(folder.File("store"));
    const ProcessResult send = Send(c.plus, c.simulatorFlags, c.listen, c.sendFlags);
    const bool sent = c.outcome == "sent";
    EXPECT_EQ(send.exitCode, sent ? 0 : 1) << send.err;
    const SummaryRow row = RowOf(send.err, "127.0.0.2");
    EXPECT_EQ(row.outcome, c.outcome) << send.err;
    EXPECT_EQ(row.stored, c.stored) << send.err;
    EXPECT_TRUE(std::regex_search(send.err, std::regex("^send started \\d{4}-\\d\\d-\\d\\d "
                                                       "\\d\\d:\\d\\d:\\d\\d\n")))
        << send.err;
    EXPECT_EQ(send.out.find("- Complete Send Plu") != std::string::npos, sent) << send.out;
    if (c.listen) {
      EXPECT_EQ(Dump("127.0.0.2", "plu").size(), static_cast<std::size_t>(c.stored));
    }
    AddMatrixRow("send: " + c.name,
                 "exit " + std::to_string(send.exitCode) + ", summary \"" + row.outcome + "\", " +
                     std::to_string(row.stored) + " stored",
                 "-");
  }
}

TEST_F(TransferFaults, APluUploadAsksOnlyForTheRecordsTheTerminalHolds) {
  ASSERT_EQ(Send({1, 5, 10}, {}, true, {}).exitCode, 0);
  auto terminal = std::make_unique<SimulatorProcess>(
      Lines{"--store", folder.File("store"), "--listen", "127.0.0.2:0"});
  WriteIni(terminal->port());
  const ProcessResult upload = RunProcess(ORLENT_CLI_PATH,
                                          {"--folder", folder.path(), "upload", "--kind", "plu",
                                           "--terminal", "127.0.0.2", "--out", "held.txt"},
                                          folder.path());
  EXPECT_EQ(upload.exitCode, 0) << upload.err;
  const Lines lines = SplitLines(folder.Read("held.txt"));
  EXPECT_EQ(lines,
            (Lines{UploadLineOf(PluLine(1)), UploadLineOf(PluLine(5)), UploadLineOf(PluLine(10))}));
  std::size_t requests = 0;
  for (const std::string& line : SplitLines(upload.out)) {
    requests += line == "- Success to Send dataUploadNextPLU";
  }
  EXPECT_EQ(requests, 4u) << "1, then the one after each answer: 2, 6, 11";
  AddMatrixRow("upload of PLUs 1, 5, 10", "-",
               "exit " + std::to_string(upload.exitCode) + ", " + std::to_string(lines.size()) +
                   " lines, " + std::to_string(requests) + " requests");
}

TEST_F(TransferFaults, ANumberOutsideItsRangeIsRefusedBeforeAnythingRuns) {
  const std::vector<std::pair<Lines, std::string>> cases = {
      {{"send", "--answer-timeout-ms", "2147483647"}, "--answer-timeout-ms"},
      {{"send", "--answer-timeout-ms", "0"}, "--answer-timeout-ms"},
      {{"send", "--pause-ms", "-1"}, "--pause-ms"},
      {{"send", "--pause-ms", "600001"}, "--pause-ms"},
      {{"upload", "--kind", "plu", "--terminal", "127.0.0.2", "--answer-timeout-ms", "3600001"},
       "--answer-timeout-ms"},
      {{"terminals", "delete", "0"}, "N"},
      {{"terminals", "change", "-5", "127.0.0.9"}, "N"},
      {{"terminals", "tick", "99999999999", "on"}, "N"},
  };
  WriteIni(20404);
  const std::string before = folder.Read("Orlent.ini");
  for (const auto& [args, option] : cases) {
    SCOPED_TRACE(args[0] + " " + args[args.size() - 1]);
    Lines cli{"--folder", folder.path()};
    cli.insert(cli.end(), args.begin(), args.end());
    const ProcessResult run = RunProcess(ORLENT_CLI_PATH, cli, folder.path());
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err.rfind(option + ": Value ", 0), 0u) << run.err;
    EXPECT_NE(run.err.find("not in range"), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
  }
  EXPECT_EQ(folder.Read("Orlent.ini"), before);
}

}  // namespace
