// orlent-cli with values in Orlent.ini that cannot be taken: a character set
// refuses every command that converts texts before any terminal is
// contacted; a cycle option keeps its default and is named by the summaries.
// The settings file keeps the value, so every later run finds it again.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "termsim/simulator_process.h"
#include "tests/cli/cli_process.h"
#include "tests/support/temp_folder.h"

namespace {

using Args = std::vector<std::string>;

class SetAsideSettings : public ::testing::Test {
 protected:
  // The simulator logs each connection it takes on its standard error.
  SetAsideSettings()
      : simulator({"--store", folder.File("store"), "--listen", "127.0.0.2:0", "--verbose"},
                  SimulatorProcess::StandardError::kKept) {
    folder.Write("PLU-Down.txt", "1\t1\t1\tCaf\u00e9\t249\t20001\t7\t5\t1\r\n");
  }
  // Orlent.ini with the simulated terminal ticked, then `keys`.
  std::string WriteIni(const std::string& keys) {
    const std::string ini = "[Terminal]\r\nTerminalPort=" + std::to_string(simulator.port()) +
                            "\r\nTerminalNums=1\r\nTerminalIP_1=127.0.0.2\r\n"
                            "TerminalChecked_1=1\r\nTerminalPause=0\r\n" +
                            keys;
    folder.Write("Orlent.ini", ini);
    return ini;
  }
  ProcessResult Run(Args args) {
    args.insert(args.begin(), {"--folder", folder.path()});
    return RunProcess(ORLENT_CLI_PATH, args, folder.path());
  }

  TempFolder folder;
  SimulatorProcess simulator;
};

TEST_F(SetAsideSettings, ACharacterSetThatCannotBeTakenRefusesWhatConvertsBeforeAnyConnect) {
  const std::string ini = WriteIni("TerminalCodePage=ISO-8859-2x\r\n");
  const std::string refusal = "ERROR: TerminalCodePage 'ISO-8859-2x' in " +
                              folder.File("Orlent.ini") +
                              " is not a character set the system converts: correct it, or name "
                              "one with --code-page; nothing is done with another set\n";
  const Args commands[] = {
      {"send"},
      {"send", "--kind", "plu", "--summary-json", folder.File("send.json")},
      {"verify", "--kind", "plu"},
      {"upload", "--kind", "plu", "--terminal", "127.0.0.2"},
      {"upload", "--kind", "barcode", "--terminal", "all"},
      {"read"},
  };
  for (const Args& command : commands) {
    SCOPED_TRACE(command[0] + " " + (command.size() > 1 ? command[1] + " " + command[2] : ""));
    const ProcessResult refused = Run(command);
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_EQ(refused.err, refusal);
    EXPECT_EQ(refused.out, "");
  }
  EXPECT_EQ(simulator.errorOutput().find("connection opened"), std::string::npos)
      << simulator.errorOutput();
  EXPECT_FALSE(std::filesystem::exists(folder.File("send.json")));
  EXPECT_FALSE(std::filesystem::exists(folder.File("PLU-Up.txt")));

  // A character set named on the command line takes its place.
  const ProcessResult sent = Run({"send", "--kind", "plu", "--code-page", "ISO-8859-2"});
  EXPECT_EQ(sent.exitCode, 0) << sent.err;
  EXPECT_NE(sent.err.find("setting set aside: TerminalCodePage 'ISO-8859-2x' in " +
                          folder.File("Orlent.ini") +
                          " is not a character set the system converts: ISO-8859-2 is used\n"),
            std::string::npos)
      << sent.err;
  EXPECT_NE(simulator.WaitForErrorLine("connection opened", std::chrono::seconds(10)), "");
  // Never written over: the next run refuses again.
  EXPECT_EQ(Run({"terminals", "tick", "1", "on"}).exitCode, 0);
  EXPECT_EQ(folder.Read("Orlent.ini"), ini);
}

TEST_F(SetAsideSettings, ACycleOptionThatCannotBeTakenIsNamedInTheSummaryAndItsJson) {
  const std::string ini = WriteIni("TerminalParallel=four\r\n");
  const std::string named = "setting set aside: TerminalParallel 'four' in " +
                            folder.File("Orlent.ini") +
                            " is not a number from 1 to 64: 1 is used\n";
  const std::string json =
      "  \"set_aside\": [{\"setting\": \"TerminalParallel\", \"value\": \"four\", \"used\": "
      "\"1\"}],\n";
  const std::vector<std::vector<std::string>> commands = {
      {"send", "--kind", "plu"},
      {"verify", "--kind", "plu"},
      {"upload", "--kind", "plu", "--terminal", "all", "--out-dir", folder.File("received")}};
  for (std::vector<std::string> command : commands) {
    const std::string name = command.front();
    SCOPED_TRACE(name);
    command.insert(command.end(), {"--summary-json", folder.File("run.json")});
    const ProcessResult run = Run(command);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find(name + " started "), std::string::npos);
    EXPECT_NE(run.err.find(named), std::string::npos) << run.err;
    EXPECT_NE(folder.Read("run.json").find(json), std::string::npos) << folder.Read("run.json");
  }
  // A value the command line gives is the one used, at the start as in the summary.
  const ProcessResult given = Run({"send", "--kind", "plu", "--parallel", "3"});
  EXPECT_EQ(given.exitCode, 0) << given.err;
  EXPECT_NE(given.err.find("1 to 64: 3 is used\n"), std::string::npos) << given.err;
  EXPECT_EQ(given.err.find("1 to 64: 1 is used"), std::string::npos) << given.err;
  EXPECT_EQ(folder.Read("Orlent.ini"), ini);
}

}  // namespace
