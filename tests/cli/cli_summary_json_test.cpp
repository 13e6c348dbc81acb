// orlent-cli and --summary-json: a summary that cannot be written refuses the
// run before any terminal is contacted, and what the file held stays until a
// run's summary replaces it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "termsim/simulator_process.h"
#include "tests/cli/cli_process.h"
#include "tests/support/temp_folder.h"

namespace {

using Lines = std::vector<std::string>;

class CliSummaryJson : public ::testing::Test {
 protected:
  void SetUp() override {
    folder.Write("Orlent.ini", "[Terminal]\r\nTerminalPort=" + std::to_string(simulator.port()) +
                                   "\r\nTerminalNums=1\r\nTerminalIP_1=127.0.0.2\r\n"
                                   "TerminalChecked_1=1\r\n");
    folder.Write("PLU-Down.txt", "1\t1\t0\tApples\t249\t0\t1\t0\t0\r\n");
  }
  ProcessResult Run(Lines args, const std::string& summary) {
    args.insert(args.begin(), {"--folder", folder.path()});
    args.insert(args.end(), {"--kind", "plu", "--pause-ms", "0", "--summary-json", summary});
    return RunProcess(ORLENT_CLI_PATH, args, folder.path());
  }

  TempFolder folder;
  SimulatorProcess simulator{{"--listen", "127.0.0.2:0"}};
};

TEST_F(CliSummaryJson, ASummaryThatCannotBeWrittenRefusesTheRunBeforeAnyTerminalIsContacted) {
  std::filesystem::create_directory(folder.File("a-folder"));
  Lines paths = {folder.File("missing/run.json"), folder.File("a-folder")};
  // Whoever may write every file (root) has no read-only file.
  folder.Write("read-only.json", "{}\n");
  chmod(folder.File("read-only.json").c_str(), 0444);
  if (geteuid() != 0) paths.push_back(folder.File("read-only.json"));
  const std::vector<Lines> commands = {
      {"send"}, {"verify"}, {"upload", "--terminal", "all", "--out-dir", folder.File("received")}};
  for (const Lines& command : commands) {
    for (const std::string& path : paths) {
      SCOPED_TRACE(command.front() + " " + path);
      const ProcessResult run = Run(command, path);
      EXPECT_EQ(run.exitCode, 2) << run.err;
      EXPECT_NE(run.err.find("ERROR: cannot write the summary to " + path + ": "),
                std::string::npos)
          << run.err;
      EXPECT_EQ(run.out.find("Connect"), std::string::npos) << "no terminal contacted";
    }
  }
  EXPECT_EQ(folder.Read("read-only.json"), "{}\n");
}

TEST_F(CliSummaryJson, AnEarlierSummaryStaysUntilTheRunEndsAndARefusedRunMakesNoFile) {
  folder.Write("old.json", "the last run's summary\n");
  // A download file that does not exist: refused before any terminal.
  EXPECT_EQ(Run({"send", "--file", "none.txt"}, folder.File("old.json")).exitCode, 2);
  EXPECT_EQ(folder.Read("old.json"), "the last run's summary\n");
  EXPECT_EQ(Run({"send", "--file", "none.txt"}, folder.File("new.json")).exitCode, 2);
  EXPECT_FALSE(std::filesystem::exists(folder.File("new.json")));

  const ProcessResult run = Run({"send"}, folder.File("old.json"));
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(folder.Read("old.json").starts_with("{\n  \"started\": ")) << folder.Read("old.json");
  // The replacement leaves nothing of its own beside the file.
  Lines names;
  for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
    if (entry.path().filename().string().starts_with(".")) names.push_back(entry.path());
  }
  EXPECT_EQ(names, Lines{});
}

}  // namespace
