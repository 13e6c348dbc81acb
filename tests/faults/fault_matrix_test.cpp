// Each fault of the simulator against a send cycle of three terminals and
// against an upload. For every fault: nothing crashes (the simulators end
// cleanly, orlent-cli exits 0 or 1), the cycle reaches "* End *", the log
// says what happened to each terminal, every record a terminal acknowledged
// is in its store, every record an upload was answered is in the upload
// file, and the settings file is unchanged.
#include <cctype>
#include <ostream>
#include <string>
#include <vector>

#include "tests/faults/fault_matrix.h"

namespace {

// What the upload through orlent-cli ends with.
struct UploadEnd {
  int exitCode;
  std::string says;      // a text the log (or an error box) carries
  std::size_t records;   // records of the source written, in order
  std::string lastLine;  // a text the last line holds when the end marker is written; or ""
};

struct Fault {
  std::string name;
  Lines flags;           // the simulator's fault flags
  bool listen = true;    // false: nothing listens on the faulty addresses
  Lines memory;          // flags that apply to the terminal's memory in every run
  std::string terminal;  // outcome of each faulty terminal in the cycle
  int handedOver;        // records handed over to a faulty terminal
  Lines log;             // a faulty terminal's lines of the cycle's log; @ stands for its address
  UploadEnd upload;
  int answerTimeoutMs = FaultMatrix::kTimeoutMs;
};

// The log lines of a terminal that connects, is handed `count` records and
// ends as its last lines say.
const Lines kFailConnect = {"- Fail Connect @"};
const Lines kComplete = {"- Success Connect @", "- Success to Send Plu (10)",
                         "- Complete Send Plu (Total : 10)", "- Success to Disconect @"};
const Lines kSilentAfterFive = {"- Success Connect @", "- Success to Send Plu (5)", "- Time Out @",
                                "- Success to Disconect @"};
// The connection is lost: the session ends at once, without waiting for the time-out.
const Lines kGoneAfterFive = {"- Success Connect @", "- Success to Send Plu (5)",
                              "- Fail to Disconnect @"};

// clang-format off
const Fault kFaults[] = {
    {"refused connection", {"--refuse"}, true, {}, "fail connect", 0, kFailConnect,
     {1, "- Fail Connect 127.0.0.2", 0, ""}},
    {"no listener", {}, false, {}, "fail connect", 0, kFailConnect,
     {1, "- Fail Connect 127.0.0.2", 0, ""}},
    {"dropped answer", {"--drop-after", "4"}, true, {}, "time out", 5, kSilentAfterFive,
     {1, "ERROR: no answer from 127.0.0.2", 4, ""}},
    {"connection closed mid-transfer", {"--close-after", "4"}, true, {}, "closed", 5,
     kGoneAfterFive, {1, "ERROR: the connection to 127.0.0.2 was closed by the terminal", 4, ""}},
    {"garbage frame", {"--garbage-after", "4"}, true, {}, "closed", 5, kGoneAfterFive,
     {1, "ERROR: the connection to 127.0.0.2 was closed by the terminal", 4, ""}},
    // Answers held back, yet far within a time-out that a loaded machine
    // under the sanitizers cannot reach; and answers held back so far beyond
    // the time-out that it always comes first.
    {"slow answers within the time-out", {"--delay-ms", "40"}, true, {}, "complete", 10, kComplete,
     {0, "- CompleteDataReceivedPLU", 10, ""}, 20000},
    {"slow answers beyond the time-out", {"--delay-ms", "5000"}, true, {}, "time out", 1,
     {"- Success Connect @", "- Success to Send Plu (1)", "- Time Out @", "- Success to Disconect @"},
     {1, "ERROR: no answer from 127.0.0.2", 0, ""}},
    // The record the full memory refused ends that terminal's download with
    // its failure line; the upload reads what was stored.
    {"terminal memory full", {}, true, {"--capacity", "3"}, "send failed", 4,
     {"- Success Connect @", "- Success to Send Plu (4)", "- Fail to Send Plu (4)",
      "- Success to Disconect @"},
     {0, "- CompleteDataReceivedPLU", 3, ""}},
    {"upload ended by 95", {"--end-after", "4", "--end-with", "95"}, true, {}, "complete", 10,
     kComplete, {0, "- Success to Disconect 127.0.0.2", 4, "END: 95"}},
    {"upload ended by 99", {"--end-after", "4", "--end-with", "99"}, true, {}, "complete", 10,
     kComplete, {0, "- CompleteDataReceivedPLU", 4, ""}},
    {"upload ended by 65535", {"--end-after", "4", "--end-with", "65535"}, true, {}, "complete", 10,
     kComplete, {0, "- Success to Disconect 127.0.0.2", 4, ", 65535, "}},
};
// clang-format on

void PrintTo(const Fault& fault, std::ostream* out) {
  *out << fault.name;
}

class Matrix : public FaultMatrix, public ::testing::WithParamInterface<Fault> {};

void CheckCycle(const Fault& fault, const CycleResult& cycle, const Lines& source) {
  EXPECT_TRUE(cycle.ended) << "the cycle did not reach \"* End *\"";
  EXPECT_TRUE(cycle.errors.empty()) << cycle.errors.front();
  EXPECT_TRUE(cycle.settingsIntact);
  ASSERT_EQ(cycle.terminals.size(), 3u);
  for (const TerminalReport& terminal : cycle.terminals) {
    SCOPED_TRACE(terminal.address);
    const bool healthy = terminal.address == "127.0.0.3";
    EXPECT_EQ(terminal.outcome, healthy ? "complete" : fault.terminal);
    EXPECT_EQ(terminal.handedOver, healthy ? FaultMatrix::kRecords : fault.handedOver);
    Lines log;
    for (std::string line : healthy ? kComplete : fault.log) {
      const std::size_t at = line.find('@');
      if (at != std::string::npos) line.replace(at, 1, terminal.address);
      log.push_back(line);
    }
    EXPECT_EQ(terminal.log, log);
    EXPECT_TRUE(terminal.unstoredAcknowledged.empty())
        << "acknowledged but not stored: " << terminal.unstoredAcknowledged.front();
    EXPECT_LE(terminal.acknowledged + terminal.refused, terminal.handedOver);
    if (terminal.outcome == "complete" && terminal.refused == 0) {
      EXPECT_EQ(terminal.stored, source);
    }
  }
}

void CheckUpload(const Fault& fault, const UploadResult& upload, const Lines& source) {
  const ProcessResult& cli = upload.cli;
  EXPECT_EQ(cli.exitCode, fault.upload.exitCode) << cli.err;
  EXPECT_TRUE(cli.out.find(fault.upload.says) != std::string::npos ||
              cli.err.find(fault.upload.says) != std::string::npos)
      << "the log does not say \"" << fault.upload.says << "\":\n"
      << cli.out << cli.err;
  if (fault.upload.exitCode == 0) {
    EXPECT_NE(cli.out.find("- Success to Disconect 127.0.0.2"), std::string::npos)
        << "the upload did not end with its terminal disconnected";
  }
  if (fault.listen && fault.terminal != "fail connect") {
    EXPECT_TRUE(cli.out.find("to Disconect 127.0.0.2") != std::string::npos ||
                cli.out.find("- Fail to Disconnect 127.0.0.2") != std::string::npos)
        << "the terminal was left connected";
  }
  // Every record answered is in the file, as the log wrote it, in order.
  const std::size_t marker = fault.upload.lastLine.empty() ? 0 : 1;
  ASSERT_EQ(upload.fileLines.size(), fault.upload.records + marker);
  EXPECT_EQ(upload.logged, upload.fileLines.size());
  const Lines expected = UploadLinesOf(source);
  for (std::size_t i = 0; i < fault.upload.records; ++i) {
    EXPECT_EQ(upload.fileLines[i], expected[i]);
  }
  if (marker) {
    EXPECT_NE(upload.fileLines.back().find(fault.upload.lastLine), std::string::npos)
        << upload.fileLines.back();
  }
  EXPECT_TRUE(upload.settingsIntact);
}

TEST_P(Matrix, NothingIsLostAndTheEndIsReached) {
  const Fault& fault = GetParam();
  answerTimeoutMs = fault.answerTimeoutMs;
  Lines cycleFlags = fault.flags;
  cycleFlags.insert(cycleFlags.end(), fault.memory.begin(), fault.memory.end());
  const CycleResult cycle = PlayCycle(cycleFlags, fault.listen);
  {
    SCOPED_TRACE("send cycle");
    CheckCycle(fault, cycle, source);
  }
  const UploadResult upload = PlayUpload(fault.flags, fault.listen, fault.memory);
  {
    SCOPED_TRACE("upload");
    CheckUpload(fault, upload, source);
  }
  AddMatrixRow(fault.name, cycle.Summary(), upload.Summary());
}

std::string RowName(const ::testing::TestParamInfo<Fault>& info) {
  std::string name;
  bool upper = true;
  for (char c : info.param.name) {
    if (std::isalnum(static_cast<unsigned char>(c))) {
      name += upper ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : c;
      upper = false;
    } else {
      upper = true;
    }
  }
  return name;
}

INSTANTIATE_TEST_SUITE_P(EachFault, Matrix, ::testing::ValuesIn(kFaults), RowName);

}  // namespace
