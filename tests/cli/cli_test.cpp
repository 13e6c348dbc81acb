// orlent-cli end to end: the built program against orlent-termsim on loopback,
// checked by its standard output, standard error, exit status and files.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "termsim/simulator_process.h"
#include "tests/cli/cli_process.h"
#include "tests/cli/summary_row.h"
#include "tests/support/closed_port.h"
#include "tests/support/temp_folder.h"

namespace {

using Lines = std::vector<std::string>;

Lines SplitLines(const std::string& text) {
  Lines lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    std::size_t length = end - start;
    if (length > 0 && text[end - 1] == '\r') --length;
    lines.push_back(text.substr(start, length));
  }
  return lines;
}

std::string FileText(const Lines& lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\r\n";
  return text;
}

std::string Ini(int port, const std::vector<std::pair<std::string, bool>>& terminals) {
  std::string text = "[Terminal]\r\nTerminalPort=" + std::to_string(port) +
                     "\r\nTerminalNums=" + std::to_string(terminals.size()) + "\r\n";
  int n = 0;
  for (const auto& [address, ticked] : terminals) {
    ++n;
    text += "TerminalIP_" + std::to_string(n) + "=" + address + "\r\nTerminalChecked_" +
            std::to_string(n) + "=" + (ticked ? "1" : "0") + "\r\n";
  }
  return text;
}

const Lines kPluLines = {"1\t1\t1\tApples Braeburn\t249\t20001\t7\t5\t1",
                         "1\t2\t2\tBananas, loose\t179\t20002\t7\t0\t1",
                         "2\t3\t1\tCheddar mature\t1299\t20003\t14\t5\t2"};

class Cli : public ::testing::Test {
 protected:
  ProcessResult Run(const Lines& args) {
    Lines all = {"--folder", folder.path()};
    all.insert(all.end(), args.begin(), args.end());
    return RunProcess(ORLENT_CLI_PATH, all, folder.path());
  }
  Lines Dump(const std::string& address, const std::string& kind) {
    std::string out;
    EXPECT_EQ(SimulatorProcess::Run(
                  {"--dump", address, "--store", folder.File("store"), "--kind", kind}, out),
              0);
    return SplitLines(out);
  }
  void StartSimulator(const Lines& addresses) {
    Lines args = {"--store", folder.File("store")};
    for (const auto& address : addresses) {
      args.push_back("--listen");
      args.push_back(address + ":0");
    }
    simulator = std::make_unique<SimulatorProcess>(args);
  }

  TempFolder folder;
  std::unique_ptr<SimulatorProcess> simulator;
};

TEST_F(Cli, TerminalCommandsEditTheSettingsFileAsTheButtonsDo) {
  EXPECT_EQ(Run({"terminals", "add", "127.0.0.2"}).exitCode, 0);
  EXPECT_EQ(Run({"terminals", "add", "127.0.0.3"}).exitCode, 0);
  EXPECT_EQ(Run({"terminals", "tick", "2", "on"}).exitCode, 0);
  EXPECT_EQ(Run({"terminals", "port", "20500"}).exitCode, 0);
  EXPECT_EQ(folder.Read("Orlent.ini"), Ini(20500, {{"127.0.0.2", false}, {"127.0.0.3", true}}));

  EXPECT_EQ(Run({"terminals", "change", "2", "127.0.0.4"}).exitCode, 0);
  EXPECT_EQ(Run({"terminals", "delete", "1"}).exitCode, 0);
  ProcessResult list = Run({"terminals"});
  EXPECT_EQ(list.exitCode, 0);
  EXPECT_EQ(list.out, "Port 20500\n1 [x] 127.0.0.4\n");
  // Delete never removes a key: entry 2's old keys stay behind, unread.
  EXPECT_EQ(folder.Read("Orlent.ini"),
            "[Terminal]\r\nTerminalPort=20500\r\nTerminalNums=1\r\nTerminalIP_1=127.0.0.4\r\n"
            "TerminalChecked_1=1\r\nTerminalIP_2=127.0.0.4\r\nTerminalChecked_2=1\r\n");
}

TEST_F(Cli, TerminalCommandsRefuseWhatTheButtonsRefuse) {
  ProcessResult empty = Run({"terminals", "add", ""});
  EXPECT_EQ(empty.exitCode, 2);
  EXPECT_EQ(empty.err, "ERROR: Please define the new IP address !\n");
  ProcessResult missing = Run({"terminals", "delete", "3"});
  EXPECT_EQ(missing.exitCode, 2);
  EXPECT_EQ(missing.err, "ERROR: there is no terminal number 3 (the list has 0)\n");
  EXPECT_EQ(Run({"terminals", "tick", "1", "maybe"}).exitCode, 2);
  EXPECT_EQ(Run({"bogus"}).exitCode, 2);
}

TEST_F(Cli, SendServesTheTickedTerminalsPassesOverOneWithoutListenerAndSaysSo) {
  StartSimulator({"127.0.0.2", "127.0.0.5"});
  // Nothing listens on 127.0.0.4.
  folder.Write("Orlent.ini", Ini(simulator->port(), {{"127.0.0.2", true},
                                                     {"127.0.0.3", false},
                                                     {"127.0.0.4", true},
                                                     {"127.0.0.5", true},
                                                     {"127.0.0.6", false}}));
  folder.Write("PLU-Down.txt", FileText(kPluLines));

  // One terminal at a time, or all at once: the same log, summary and store.
  for (const char* parallel : {"1", "4"}) {
    SCOPED_TRACE(parallel);
    ProcessResult send = Run({"send", "--kind", "plu", "--pause-ms", "0", "--parallel", parallel});
    EXPECT_EQ(send.exitCode, 1) << send.err;  // not every terminal was served
    const Lines expected = {"Orlent V3.0.0.0",
                            "",
                            "- Success Connect 127.0.0.2",
                            "- Success to Send Plu (3)",
                            "- Complete Send Plu (Total : 3)",
                            "- Success to Disconect 127.0.0.2",
                            "",
                            "- Skip Connect 127.0.0.3",
                            "",
                            "- Fail Connect 127.0.0.4",
                            "",
                            "- Success Connect 127.0.0.5",
                            "- Success to Send Plu (3)",
                            "- Complete Send Plu (Total : 3)",
                            "- Success to Disconect 127.0.0.5",
                            "",
                            "- Skip Connect 127.0.0.6",
                            "",
                            "* End *"};
    EXPECT_EQ(SplitLines(send.out), expected);
    // The summary on standard error: terminal, outcome, records stored, seconds.
    const std::pair<const char*, const char*> outcomes[] = {
        {"127.0.0.2", "sent"},
        {"127.0.0.4", "connect failed: connection refused"},
        {"127.0.0.5", "sent"}};
    for (const auto& [address, outcome] : outcomes) {
      const SummaryRow row = RowOf(send.err, address);
      EXPECT_EQ(row.outcome, outcome) << send.err;
      EXPECT_EQ(row.stored, row.outcome == "sent" ? 3 : 0) << send.err;
    }
    EXPECT_EQ(RowOf(send.err, "127.0.0.3").outcome, "") << "a terminal passed over has no row";
  }

  simulator->Stop();
  EXPECT_EQ(Dump("127.0.0.2", "plu"), kPluLines);
  EXPECT_EQ(Dump("127.0.0.5", "plu"), kPluLines);
}

TEST_F(Cli, SummaryJsonRecordsTheRunWithEachTerminalsReason) {
  // A terminal that holds two records refuses the third as memory full.
  Lines args = {"--store", folder.File("store"), "--listen", "127.0.0.2:0", "--capacity", "2"};
  simulator = std::make_unique<SimulatorProcess>(args);
  folder.Write("Orlent.ini", Ini(simulator->port(),
                                 {{"127.0.0.2", true}, {"127.0.0.3", false}, {"127.0.0.4", true}}));
  folder.Write("PLU-Down.txt", FileText(kPluLines));

  ProcessResult send =
      Run({"send", "--kind", "plu", "--pause-ms", "0", "--summary-json", folder.File("run.json")});
  EXPECT_EQ(send.exitCode, 1) << send.err;
  const std::string refusal = "refused: ERR: 90 Memory full";
  EXPECT_EQ(RowOf(send.err, "127.0.0.2").outcome, refusal) << send.err;
  EXPECT_EQ(RowOf(send.err, "127.0.0.4").outcome, "connect failed: connection refused") << send.err;

  // Times and seconds vary from run to run; their form does not.
  const std::regex time("\"\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d[+-]\\d\\d:\\d\\d\"");
  const std::regex seconds("\"seconds\": \\d+\\.\\d{3}");
  std::string json = folder.Read("run.json");
  json = std::regex_replace(json, time, "TIME");
  json = std::regex_replace(json, seconds, "\"seconds\": S");
  EXPECT_EQ(json,
            "{\n"
            "  \"started\": TIME,\n"
            "  \"ended\": TIME,\n"
            "  \"kind\": \"plu\",\n"
            "  \"file\": \"" +
                folder.File("PLU-Down.txt") +
                "\",\n"
                "  \"records\": 3,\n"
                "  \"ran\": \"send\",\n"
                "  \"shop\": null,\n"
                "  \"terminals\": [\n"
                "    {\"address\": \"127.0.0.2\", \"outcome\": \"" +
                refusal +
                "\", \"acknowledged\": 2, \"sent\": 3, \"unchanged\": 0, \"deleted\": 0, "
                "\"seconds\": S, \"failure\": \"" +
                refusal +
                "\", \"name\": null},\n"
                "    {\"address\": \"127.0.0.4\", \"outcome\": \"connect failed: connection "
                "refused\", \"acknowledged\": 0, \"sent\": 0, \"unchanged\": 0, \"deleted\": "
                "0, \"seconds\": S, \"failure\": \"connect failed: "
                "connection refused\", \"name\": null}\n"
                "  ]\n"
                "}\n");
}

TEST_F(Cli, SendOfAFileWithAnErrorLineSendsNothingAndFails) {
  StartSimulator({"127.0.0.2"});
  folder.Write("Orlent.ini", Ini(simulator->port(), {{"127.0.0.2", true}}));
  folder.Write("prices.plu", FileText({kPluLines[0], kPluLines[1], "1\t4\t1"}));
  ProcessResult send = Run({"send", "--file", folder.File("prices.plu"), "--pause-ms", "0"});
  EXPECT_EQ(send.exitCode, 2);
  EXPECT_EQ(send.err,
            "ERROR: Error in input file ! (prices.plu, line 3, column 5: the line has only 3 "
            "columns)\n");
  EXPECT_EQ(send.out.find("Complete"), std::string::npos);
  simulator->Stop();
  EXPECT_EQ(Dump("127.0.0.2", "plu"), Lines{});
}

TEST_F(Cli, SendWithNoTickedTerminalStopsAtTheErrorBox) {
  folder.Write("Orlent.ini", Ini(20404, {{"127.0.0.2", false}}));
  ProcessResult send = Run({"send", "--pause-ms", "0"});
  EXPECT_EQ(send.exitCode, 2);
  EXPECT_EQ(send.err, "ERROR: No Terminal To Send !\n");
}

TEST_F(Cli, UploadsFillTheirFiles) {
  StartSimulator({"127.0.0.2"});
  folder.Write("Orlent.ini", Ini(simulator->port(), {{"127.0.0.2", true}}));
  folder.Write("PLU-Down.txt", FileText(kPluLines));
  ASSERT_EQ(Run({"send", "--kind", "plu", "--pause-ms", "0"}).exitCode, 0);

  ProcessResult plu = Run({"upload", "--kind", "plu", "--terminal", "127.0.0.2"});
  EXPECT_EQ(plu.exitCode, 0) << plu.err;
  EXPECT_EQ(folder.Read("PLU-Up.txt"),
            "1, 1, 1, Apples Braeburn, 249, 20001, 7, 5, 1\r\n"
            "1, 2, 2, Bananas, loose, 179, 20002, 7, 0, 1\r\n"
            "2, 3, 1, Cheddar mature, 1299, 20003, 14, 5, 2\r\n");

  // Each report reads its own record count (the PLU report one per PLU
  // stored), every line dated, and the log ends with its completion line.
  const struct {
    const char* kind;
    std::size_t count;
    const char* completion;
  } reports[] = {{"report-plu", 3, "- CompleteDataReceivedReportPLU"},
                 {"report-time", 24, "- CompleteDataReceivedReportTime"},
                 {"report-group", 100, "- CompleteDataReceivedReportGroup"},
                 {"report-dept", 99, "- CompleteDataReceivedReportDept"}};
  for (const auto& report : reports) {
    SCOPED_TRACE(report.kind);
    ProcessResult upload =
        Run({"upload", "--kind", report.kind, "--terminal", "127.0.0.2", "--out", "report.txt"});
    EXPECT_EQ(upload.exitCode, 0) << upload.err;
    const Lines lines = SplitLines(folder.Read("report.txt"));
    EXPECT_EQ(lines.size(), report.count);
    for (const auto& line : lines) EXPECT_EQ(line.rfind("20", 0), 0u) << line;
    const Lines log = SplitLines(upload.out);
    EXPECT_NE(std::find(log.begin(), log.end(), report.completion), log.end()) << upload.out;
  }
}

// Every journal line of the program folder, in date order (a run past
// midnight goes on in the next day's file), each checked to be stamped with
// the local time of its file's day; a terminal's line carries its address,
// the run's lines and the cycle's end none.
Lines JournalTexts(const TempFolder& folder) {
  std::set<std::string> journals;
  for (const auto& entry : std::filesystem::directory_iterator(folder.File("logs"))) {
    journals.insert(entry.path().filename().string());
  }
  static const std::regex stamped(
      R"((\d{4}-\d{2}-\d{2})T\d{2}:\d{2}:\d{2} (?:\[127\.0\.0\.2\] )?(.*))");
  Lines texts;
  for (const auto& name : journals) {
    for (const auto& line : SplitLines(folder.Read("logs/" + name))) {
      std::smatch parts;
      EXPECT_TRUE(std::regex_match(line, parts, stamped)) << line;
      EXPECT_EQ(name, "Orlent-" + parts[1].str() + ".log");
      texts.push_back(parts[2]);
    }
  }
  return texts;
}

// Every run appends its log to the day's journal between a first line that
// names what ran, its kind, file, terminals and who started it, and a last
// line of its totals; a receive's line per record stays in the log alone.
// A single terminal's upload is no run: its log goes to the journal as it is.
TEST_F(Cli, EachRunsLogIsInTheJournalBetweenItsFirstAndLastLine) {
  unsetenv("ORLENT_STARTED_BY");  // the command line's own runs, unless a row says
  StartSimulator({"127.0.0.2"});
  folder.Write("Orlent.ini", Ini(simulator->port(), {{"127.0.0.2", true}}));
  folder.Write("PLU-Down.txt", FileText(kPluLines));
  folder.Write("Changed.txt", FileText({"1\t1\t1\tApples Braeburn\t199\t20001\t7\t5\t1"}));
  const std::string file = ", PLU, file " + folder.File("PLU-Down.txt") + ", 1 terminal, ";
  struct Row {
    Lines args;
    Lines environment;
    std::string first;  // empty: no run lines
    std::string last;
    int recordLines = 0;  // in the log, and none in the journal
    int runs = 1;         // cycles the run is made of, each ending with "* End *"
  };
  const Row rows[] = {
      {{"send", "--kind", "plu", "--pause-ms", "0"},
       {},
       "Run: send" + file + "1 at once, started by command line",
       "Run ended: send, 1 terminal: 1 sent, 0 failed; 3 of 3 records stored"},
      {{"--started-by", "timer", "send", "--kind", "plu", "--changes", "--pause-ms", "0"},
       {},
       "Run: changes send" + file + "1 at once, started by timer",
       "Run ended: changes send, 1 terminal: 1 sent, 0 failed; 0 of 0 records stored"},
      {{"verify", "--kind", "plu", "--pause-ms", "0", "--parallel", "3"},
       {"ORLENT_STARTED_BY=ansible"},
       "Run: verification" + file + "3 at once, started by ansible",
       "Run ended: verification, 1 terminal: 1 same, 0 differs, 0 failed"},
      // The terminal's first PLU priced otherwise: the repair verifies, sends
      // what differs and verifies again, all one run.
      {{"send", "--kind", "plu", "--file", folder.File("Changed.txt"), "--no-held", "--pause-ms",
        "0"},
       {},
       "Run: send, PLU, file " + folder.File("Changed.txt") +
           ", 1 terminal, 1 at once, started by command line",
       "Run ended: send, 1 terminal: 1 sent, 0 failed; 1 of 1 records stored"},
      {{"--started-by", "timer", "verify", "--kind", "plu", "--repair", "--pause-ms", "0"},
       {"ORLENT_STARTED_BY=ansible"},
       "Run: repair" + file + "1 at once, started by timer",
       "Run ended: repair, 1 terminal: 1 same, 0 differs, 0 failed",
       0,
       3},
      {{"upload", "--kind", "plu", "--terminal", "all", "--pause-ms", "0"},
       {},
       "Run: receive, PLU, folder " + folder.File("received") +
           ", 1 terminal, 1 at once, started by command line",
       "Run ended: receive, 1 terminal: 1 received, 0 failed; 3 records received",
       3},
      {{"upload", "--kind", "plu", "--terminal", "127.0.0.2"}, {}, "", "", 3, 0},
  };
  std::size_t before = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.args[0] + " " + row.args[1]);
    Lines args = {"--folder", folder.path()};
    args.insert(args.end(), row.args.begin(), row.args.end());
    const ProcessResult run = RunProcess(ORLENT_CLI_PATH, args, folder.path(), row.environment);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const Lines texts = JournalTexts(folder);
    ASSERT_GE(texts.size(), before);
    const Lines journalled(texts.begin() + static_cast<std::ptrdiff_t>(before), texts.end());
    before = texts.size();
    // The log after the caption (the program's own line), without the lines
    // of the records received (each a record's line and its "AddPlu"); each
    // terminal's block begins with the run's first line again.
    Lines expected;
    if (!row.first.empty()) expected.push_back(row.first);
    const Lines log = SplitLines(run.out);
    ASSERT_FALSE(log.empty());
    int recordLines = 0;
    for (std::size_t at = 1; at < log.size(); ++at) {
      if (at + 1 < log.size() && log[at + 1] == "AddPlu") {
        ++at;
        ++recordLines;
        continue;
      }
      expected.push_back(log[at]);
      if (!row.first.empty() && log[at].empty() && at + 1 < log.size() && log[at + 1] != "* End *")
        expected.push_back(row.first);
    }
    if (!row.last.empty()) expected.push_back(row.last);
    EXPECT_EQ(recordLines, row.recordLines) << run.out;
    EXPECT_EQ(std::count(log.begin(), log.end(), "* End *"), row.runs) << run.out;
    EXPECT_EQ(journalled, expected) << run.out;
  }
}

// Numbers with gaps (an upload asks for the one after the last answered),
// empty fields and fields filled to their last byte.
TEST_F(Cli, EveryRecordKindGoesDownIsStoredAndComesBackUp) {
  const std::string b50(50, 'B'), seven100(100, '7'), i1024(1024, 'i'), s114(114, 's');
  const struct {
    const char* kind;
    const char* file;
    Lines lines;
    std::string uploaded;
  } kinds[] = {
      {"barcode",
       "Barcode-Down.txt",
       {"1\t2\t0\tApples\t2000001000017", "4\t2\t1\tPears, green\t2000004000013",
        "70\t9\t3\tCheese\t", "65000\t255\t255\t" + b50 + "\t" + seven100},
       "1, 2, 0, Apples, 2000001000017\r\n4, 2, 1, Pears, green, 2000004000013\r\n"
       "70, 9, 3, Cheese, \r\n65000, 255, 255, " +
           b50 + ", " + seven100 + "\r\n"},
      {"ingredient",
       "Ingredient-Down.txt",
       {"1\tWheat flour, water, salt, yeast", "3\t", "12\t" + i1024},
       "1,Wheat flour, water, salt, yeast\r\n3,\r\n12," + i1024 + "\r\n"},
      {"scrollmsg",
       "ScrollMsg-Down.txt",
       {"1\tFresh bread every morning\t1", "2\t\t0", "9\t" + s114 + "\t255"},
       "1, Fresh bread every morning, 1 \r\n2, , 0 \r\n9, " + s114 + ", 255 \r\n"},
  };
  StartSimulator({"127.0.0.2"});
  folder.Write("Orlent.ini", Ini(simulator->port(), {{"127.0.0.2", true}}));
  for (const auto& kind : kinds) {
    SCOPED_TRACE(kind.kind);
    folder.Write(kind.file, FileText(kind.lines));
    ProcessResult send = Run({"send", "--kind", kind.kind, "--pause-ms", "0"});
    EXPECT_EQ(send.exitCode, 0) << send.err;
    ProcessResult upload =
        Run({"upload", "--kind", kind.kind, "--terminal", "127.0.0.2", "--out", "up.txt"});
    EXPECT_EQ(upload.exitCode, 0) << upload.err;
    EXPECT_EQ(folder.Read("up.txt"), kind.uploaded);
  }
  simulator->Stop();
  for (const auto& kind : kinds) EXPECT_EQ(Dump("127.0.0.2", kind.kind), kind.lines) << kind.kind;
}

// Every ticked terminal, each into a file of its own named by kind, address
// and date, byte for byte what an upload from that one terminal writes.
TEST_F(Cli, UploadFromEveryTickedTerminalFillsOneNamedFilePerTerminal) {
  StartSimulator({"127.0.0.2", "127.0.0.3"});
  folder.Write("Orlent.ini", Ini(simulator->port(),
                                 {{"127.0.0.2", true}, {"127.0.0.4", false}, {"127.0.0.3", true}}));
  const std::pair<const char*, std::string> downloads[] = {{"plu", "PLU-Down.txt"},
                                                           {"barcode", "Barcode-Down.txt"},
                                                           {"ingredient", "Ingredient-Down.txt"},
                                                           {"scrollmsg", "ScrollMsg-Down.txt"}};
  folder.Write("PLU-Down.txt", FileText(kPluLines));
  folder.Write("Barcode-Down.txt", FileText({"1\t2\t0\tApples\t2000001000017"}));
  folder.Write("Ingredient-Down.txt", FileText({"1\tWheat flour, water, salt"}));
  folder.Write("ScrollMsg-Down.txt", FileText({"1\tFresh bread every morning\t1"}));
  for (const auto& [kind, file] : downloads) {
    ASSERT_EQ(Run({"send", "--kind", kind, "--pause-ms", "0"}).exitCode, 0) << file;
  }

  const std::pair<const char*, const char*> kinds[] = {{"plu", "PLU"},
                                                       {"barcode", "Barcode"},
                                                       {"ingredient", "Ingredient"},
                                                       {"scrollmsg", "ScrollMsg"},
                                                       {"report-plu", "Report-PLU"},
                                                       {"report-time", "Report-Time"},
                                                       {"report-group", "Report-Group"},
                                                       {"report-dept", "Report-Dept"}};
  for (const auto& [kind, name] : kinds) {
    SCOPED_TRACE(kind);
    const std::string day = LocalDate();
    ProcessResult all = Run({"upload", "--kind", kind, "--terminal", "all", "--out-dir", "in",
                             "--pause-ms", "0", "--parallel", "2"});
    EXPECT_EQ(all.exitCode, 0) << all.err;
    for (const char* address : {"127.0.0.2", "127.0.0.3"}) {
      ASSERT_EQ(Run({"upload", "--kind", kind, "--terminal", address, "--out", "one.txt"}).exitCode,
                0);
      const std::string one = folder.Read("one.txt");
      EXPECT_FALSE(one.empty()) << address;
      EXPECT_EQ(folder.Read("in/" + std::string(name) + "_" + address + "_" + day + ".txt"), one)
          << address;
    }
  }
  EXPECT_FALSE(std::filesystem::exists(folder.File("in/PLU_127.0.0.4_" + LocalDate() + ".txt")));

  // A second receive on the same day takes the next name; one terminal with
  // --out-dir is named the same way.
  const std::string day = LocalDate();
  const std::string first = folder.Read("in/PLU_127.0.0.2_" + day + ".txt");
  EXPECT_EQ(
      Run({"upload", "--kind", "plu", "--terminal", "all", "--out-dir", "in", "--pause-ms", "0"})
          .exitCode,
      0);
  EXPECT_EQ(Run({"upload", "--kind", "plu", "--terminal", "127.0.0.2", "--out-dir", "in"}).exitCode,
            0);
  EXPECT_EQ(folder.Read("in/PLU_127.0.0.2_" + day + "_2.txt"), first);
  EXPECT_EQ(folder.Read("in/PLU_127.0.0.2_" + day + "_3.txt"), first);
  EXPECT_EQ(Run({"upload", "--kind", "plu", "--terminal", "all", "--out", "x.txt"}).exitCode, 2);
}

TEST_F(Cli, UploadFromASilentAddressFails) {
  const ClosedPort nobody("127.0.0.6");
  folder.Write("Orlent.ini", Ini(nobody.port(), {}));
  ProcessResult upload = Run({"upload", "--kind", "barcode", "--terminal", "127.0.0.6"});
  EXPECT_EQ(upload.exitCode, 1);
  EXPECT_EQ(SplitLines(upload.out), (Lines{"Orlent V3.0.0.0", "", "- Fail Connect 127.0.0.6"}));
}

TEST_F(Cli, CycleOptionsOutsideTheirRangeAreRefusedBeforeAnythingIsDone) {
  folder.Write("Orlent.ini", Ini(20404, {{"127.0.0.2", true}}));
  const std::pair<Lines, const char*> refused[] = {
      {{"--parallel", "0"}, "--parallel: Value 0 not in range 1 to 64"},
      {{"--parallel", "65"}, "--parallel: Value 65 not in range 1 to 64"},
      {{"--parallel", "two"}, "--parallel: Value two not in range 1 to 64"},
      {{"--pause-ms", "-1"}, "--pause-ms: Value -1 not in range 0 to 600000"},
      {{"--answer-timeout-ms", "0"}, "--answer-timeout-ms: Value 0 not in range 1 to 3600000"},
  };
  for (const auto& [options, message] : refused) {
    Lines args = {"send"};
    args.insert(args.end(), options.begin(), options.end());
    ProcessResult send = Run(args);
    EXPECT_EQ(send.exitCode, 2) << message;
    EXPECT_EQ(send.err, std::string(message) + "\nRun with --help for more information.\n");
    EXPECT_EQ(send.out, "") << message;
  }
}

TEST_F(Cli, TheAnswerTimeOutComesFromTheSettingsFileUnlessGiven) {
  // The terminal accepts the connect and never answers.
  simulator = std::make_unique<SimulatorProcess>(
      Lines{"--store", folder.File("store"), "--listen", "127.0.0.2:0", "--drop-after", "0"});
  struct Case {
    std::string key;  // in the settings file
    Lines option;
    const char* told;
  };
  const Case cases[] = {
      {"TerminalAnswerTimeout=300\r\n", {}, "ERROR: no answer from 127.0.0.2 within 300 ms\n"},
      {"TerminalAnswerTimeout=300\r\n",
       {"--answer-timeout-ms", "200"},
       "ERROR: no answer from 127.0.0.2 within 200 ms\n"},
  };
  for (const Case& c : cases) {
    folder.Write("Orlent.ini", Ini(simulator->port(), {}) + c.key);
    Lines args = {"upload", "--kind", "barcode", "--terminal", "127.0.0.2"};
    args.insert(args.end(), c.option.begin(), c.option.end());
    ProcessResult upload = Run(args);
    EXPECT_EQ(upload.exitCode, 1) << c.told;
    EXPECT_EQ(upload.err, c.told);
  }
}

TEST_F(Cli, ReadListsTheFile) {
  folder.Write("list.plu", FileText(kPluLines));
  ProcessResult read = Run({"read", "--file", folder.File("list.plu")});
  EXPECT_EQ(read.exitCode, 0);
  EXPECT_EQ(SplitLines(read.out), (Lines{"Orlent V3.0.0.0", "", "1. 1, 1, 1, Apples Braeburn, 249",
                                         "2. 1, 2, 2, Bananas, loose, 179",
                                         "3. 2, 3, 1, Cheddar mature, 1299", "", "* End *"}));
  folder.Write("bad.plu", FileText({kPluLines[0], "x\t1\t1\tBad\t1\t1\t1\t1\t1"}));
  ProcessResult bad = Run({"read", "--file", folder.File("bad.plu")});
  EXPECT_EQ(bad.exitCode, 2);
  EXPECT_EQ(bad.err,
            "ERROR: I/O Error ! (bad.plu, line 2, column 1: 'x' is not a whole number from "
            "-2147483648 to 2147483647)\n");
}

// A UTF-8 file reaches the terminal in its character set and comes back up
// as the same UTF-8; a character the set lacks refuses the file.
TEST_F(Cli, TextsGoDownInTheTerminalsCharacterSetAndComeBackInUtf8) {
  const struct {
    Lines option;
    std::string text;    // in the file and in the upload file
    std::string stored;  // the terminal's bytes
  } cases[] = {
      {{},
       "Cr\u00e8me br\u00fbl\u00e9e",
       "Cr\xe8me br\xfbl\xe9"
       "e"},
      {{"--code-page", "ISO-8859-2"},
       "\u0141\u00f3d\u017a",
       "\xa3\xf3"
       "d\xbc"},
      {{"--code-page", "none"}, "Cr\u00e8me", "Cr\u00e8me"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    StartSimulator({"127.0.0.2"});
    folder.Write("Orlent.ini", Ini(simulator->port(), {{"127.0.0.2", true}}));
    folder.Write("PLU-Down.txt",
                 FileText({kPluLines[0], "1\t2\t2\t" + c.text + "\t179\t0\t7\t0\t1"}));
    Lines send = {"send", "--kind", "plu", "--pause-ms", "0"};
    send.insert(send.end(), c.option.begin(), c.option.end());
    ASSERT_EQ(Run(send).exitCode, 0);
    Lines upload = {"upload", "--kind", "plu", "--terminal", "127.0.0.2"};
    upload.insert(upload.end(), c.option.begin(), c.option.end());
    const ProcessResult up = Run(upload);
    EXPECT_EQ(up.exitCode, 0) << up.err;
    const std::string line = "1, 2, 2, " + c.text + ", 179, 0, 7, 0, 1";
    EXPECT_EQ(SplitLines(folder.Read("PLU-Up.txt")).at(1), line);
    const Lines log = SplitLines(up.out);
    EXPECT_NE(std::find(log.begin(), log.end(), line), log.end()) << up.out;
    // A file in the terminal's bytes is listed in UTF-8.
    folder.Write("old.plu", FileText({kPluLines[0], "1\t2\t2\t" + c.stored + "\t179"}));
    Lines read = {"read", "--file", folder.File("old.plu")};
    read.insert(read.end(), c.option.begin(), c.option.end());
    const ProcessResult listed = Run(read);
    EXPECT_EQ(SplitLines(listed.out).at(3), "2. 1, 2, 2, " + c.text + ", 179") << listed.err;
    simulator->Stop();
    EXPECT_EQ(Dump("127.0.0.2", "plu").at(1), "1\t2\t2\t" + c.stored + "\t179\t0\t7\t0\t1");
  }
  folder.Write("PLU-Down.txt",
               FileText({kPluLines[0], "1\t2\t2\t\u00e0 \u0141\u00f3d\u017a\t1\t0\t7\t0\t1"}));
  const ProcessResult refused = Run({"send", "--kind", "plu", "--pause-ms", "0"});
  EXPECT_EQ(refused.exitCode, 2);
  EXPECT_EQ(refused.err,
            "ERROR: Error in input file ! (PLU-Down.txt, line 2, column 4: '\u0141' at character "
            "3 is not in the terminal's character set windows-1252)\n");
  const ProcessResult unknown = Run({"read", "--code-page", "klingon"});
  EXPECT_EQ(unknown.exitCode, 2);
  EXPECT_EQ(
      unknown.err,
      "--code-page: The character set 'klingon' is not one the system converts, or it does "
      "not keep ASCII and its control characters as they are: name one such as "
      "windows-1252, ISO-8859-2 or CP437, or none !\nRun with --help for more information.\n");
}

TEST_F(Cli, AMissingLinkLibraryIsNamed) {
  ProcessResult run = Run({"--link-library", folder.File("nothing.so"), "terminals"});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.err, "ERROR: Cannot load the link library " + folder.File("nothing.so") +
                         ": cannot open shared object file: No such file or directory\n");
}

// As /usr/bin/orlent-cli is a link into the program folder: the program
// folder is the one the link leads to, so the link library and the settings
// are found there, not beside the link.
TEST_F(Cli, StartedThroughALinkWorksInTheFolderTheLinkLeadsTo) {
  namespace fs = std::filesystem;
  const fs::path built = fs::path(ORLENT_CLI_PATH).parent_path();
  fs::create_directories(folder.File("lib/orlent-copy"));
  fs::create_directories(folder.File("bin"));
  for (const char* file : {"orlent-cli", "libtermlink.so"}) {
    fs::copy_file(built / file, folder.File("lib/orlent-copy/") + file);
  }
  fs::create_symlink("../lib/orlent-copy/orlent-cli", folder.File("bin/orlent-cli"));

  ProcessResult run =
      RunProcess(folder.File("bin/orlent-cli"), {"terminals", "add", "127.0.0.2"}, folder.path());
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(folder.Read("lib/orlent-copy/Orlent.ini"), Ini(20404, {{"127.0.0.2", false}}));
  EXPECT_FALSE(fs::exists(folder.File("bin/Orlent.ini")));
}

}  // namespace
