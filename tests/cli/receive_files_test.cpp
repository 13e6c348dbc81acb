// The files a receive names for itself, end to end: the built orlent-cli
// against orlent-termsim on loopback. A partial receive is kept under a name
// that says so, and no receive writes over or through anything the folder
// holds, also when two run at once.
#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "termsim/simulator_process.h"
#include "tests/cli/cli_process.h"
#include "tests/support/temp_folder.h"

namespace {

using Args = std::vector<std::string>;

std::size_t Lines(const std::string& text) {
  std::size_t count = 0;
  for (std::size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos; at += 2) ++count;
  return count;
}

std::set<std::string> Names(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

class ReceiveFiles : public ::testing::Test {
 protected:
  // A simulated terminal at 127.0.0.2, ticked in `program`'s Orlent.ini.
  void StartTerminal(const Args& faults, const std::string& program = "") {
    Args args = {"--listen", "127.0.0.2:0"};
    args.insert(args.end(), faults.begin(), faults.end());
    simulator = std::make_unique<SimulatorProcess>(args);
    WriteIni(program);
  }
  void WriteIni(const std::string& program) const {
    folder.Write(program + "Orlent.ini",
                 "[Terminal]\r\nTerminalPort=" + std::to_string(simulator->port()) +
                     "\r\nTerminalNums=1\r\nTerminalIP_1=127.0.0.2\r\nTerminalChecked_1=1\r\n");
  }
  ProcessResult Upload(const Args& args) const {
    Args all = {"--folder", folder.path(), "upload", "--kind", "report-time"};
    all.insert(all.end(), args.begin(), args.end());
    return RunProcess(ORLENT_CLI_PATH, all, folder.path());
  }
  ProcessResult ReceiveAll(const Args& more = {}) const {
    Args args = {"--terminal", "all", "--out-dir", "in", "--pause-ms", "0"};
    args.insert(args.end(), more.begin(), more.end());
    return Upload(args);
  }
  std::string File(const std::string& suffix) const {
    return "in/Report-Time_127.0.0.2_" + LocalDate() + suffix;
  }

  TempFolder folder;
  std::unique_ptr<SimulatorProcess> simulator;
};

TEST_F(ReceiveFiles, APartialReceiveIsKeptAsIncompleteAndTheNextCompleteOneTakesTheDaysName) {
  StartTerminal({"--close-after", "5"});
  const ProcessResult partial =
      ReceiveAll({"--answer-timeout-ms", "1000", "--summary-json", "partial.json"});
  EXPECT_EQ(partial.exitCode, 1) << partial.err;
  const std::string incomplete = File("_incomplete.txt");
  EXPECT_EQ(Names(folder.File("in")), std::set<std::string>{incomplete.substr(3)});
  EXPECT_EQ(Lines(folder.Read(incomplete)), 5u);
  EXPECT_NE(partial.out.find("- Incomplete: 5 records kept in " + folder.File(incomplete)),
            std::string::npos)
      << partial.out;
  EXPECT_TRUE(std::regex_search(
      partial.err,
      std::regex("\n127\\.0\\.0\\.2 +closed by terminal; 5 records kept +5 +[0-9.]+ +" +
                 folder.File(incomplete) + "\n")))
      << partial.err;
  const std::string json = folder.Read("partial.json");
  EXPECT_NE(json.find("\"kind\": \"report-time\""), std::string::npos) << json;
  EXPECT_NE(json.find("\"outcome\": \"closed by terminal; 5 records kept\", \"records\": 5"),
            std::string::npos)
      << json;
  EXPECT_NE(json.find("\"file\": \"" + folder.File(incomplete) + "\""), std::string::npos) << json;

  // One terminal with --out-dir keeps a partial upload in the same way.
  EXPECT_EQ(Upload({"--terminal", "127.0.0.2", "--out-dir", "in", "--answer-timeout-ms", "1000"})
                .exitCode,
            1);
  EXPECT_EQ(Lines(folder.Read(File("_incomplete_2.txt"))), 5u);

  simulator->Stop();
  StartTerminal({});
  const ProcessResult complete = ReceiveAll({"--summary-json", "complete.json"});
  EXPECT_EQ(complete.exitCode, 0) << complete.err;
  EXPECT_EQ(Lines(folder.Read(File(".txt"))), 24u);
  EXPECT_EQ(Names(folder.File("in")).size(), 3u);
  EXPECT_TRUE(std::regex_search(
      complete.err,
      std::regex("\n127\\.0\\.0\\.2 +received +24 +[0-9.]+ +" + folder.File(File(".txt")) + "\n")))
      << complete.err;
  EXPECT_NE(folder.Read("complete.json")
                .find("\"outcome\": \"received\", \"records\": 24, \"seconds\": "),
            std::string::npos);
}

TEST_F(ReceiveFiles, NothingTheFolderHoldsIsWrittenOverOrThrough) {
  StartTerminal({});
  std::filesystem::create_directory(folder.File("in"));
  // A dangling link at the day's name, and a CSV of the second name.
  std::filesystem::create_symlink(folder.File("planted.txt"), folder.File(File(".txt")));
  folder.Write(File("_2.csv"), "kept");
  const ProcessResult run = ReceiveAll({"--format", "csv"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_FALSE(std::filesystem::exists(folder.File("planted.txt")));
  EXPECT_EQ(folder.Read(File("_2.csv")), "kept");
  EXPECT_EQ(Lines(folder.Read(File("_3.txt"))), 24u);
  EXPECT_EQ(Lines(folder.Read(File("_3.csv"))), 24u + 1);
  EXPECT_EQ(Names(folder.File("in")).size(), 4u);

  // One terminal with --out-dir is named the same way.
  EXPECT_EQ(Upload({"--terminal", "127.0.0.2", "--out-dir", "in", "--format", "csv"}).exitCode, 0);
  EXPECT_EQ(Lines(folder.Read(File("_4.txt"))), 24u);
  EXPECT_EQ(Lines(folder.Read(File("_4.csv"))), 24u + 1);
}

TEST_F(ReceiveFiles, TwoReceivesAtOnceIntoOneFolderEndWithTwoFiles) {
  // Two program folders, so that both may serve the terminal at once.
  for (const char* program : {"a", "b"}) std::filesystem::create_directory(folder.File(program));
  StartTerminal({"--delay-ms", "5"}, "a/");
  WriteIni("b/");
  const std::string out = folder.File("in");
  const std::string twice =
      "for f in a b; do \"$0\" --folder \"$f\" upload --kind report-time --terminal all"
      " --out-dir \"$1\" --pause-ms 0 >$f.out 2>&1 & done; wait %1; a=$?; wait %2; echo $a $?";
  const ProcessResult run =
      RunProcess("/bin/sh", {"-c", twice, ORLENT_CLI_PATH, out}, folder.path());
  EXPECT_EQ(run.out, "0 0\n") << folder.Read("a.out") << folder.Read("b.out");
  const std::set<std::string> names = Names(out);
  EXPECT_EQ(names, (std::set<std::string>{File(".txt").substr(3), File("_2.txt").substr(3)}));
  for (const auto& name : names) EXPECT_EQ(Lines(folder.Read("in/" + name)), 24u) << name;
}

TEST_F(ReceiveFiles, AnOutNameEndingInCsvIsTheCsvsAndTheUploadFileTakesTxt) {
  StartTerminal({});
  folder.Write("day.csv", "emptied first");
  const ProcessResult run =
      Upload({"--terminal", "127.0.0.2", "--out", "day.csv", "--format", "csv"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(folder.Read("day.csv").starts_with("Time,Hour,")) << folder.Read("day.csv");
  EXPECT_EQ(Lines(folder.Read("day.csv")), 24u + 1);
  EXPECT_EQ(Lines(folder.Read("day.txt")), 24u);
  EXPECT_FALSE(std::filesystem::exists(folder.File("day.csv.csv")));
}

}  // namespace
