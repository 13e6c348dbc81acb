// Two or more Orlent processes on one program folder: orlent-cli edits run
// at once, a delete racing a tick, a kill in the middle of a save, and a
// window that holds the folder. No edit is lost, the file is always the list
// before or after an edit, and no temporary file stays behind.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <future>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "settings/settings_file.h"
#include "tests/faults/fault_matrix.h"
#include "tests/support/program_fixture.h"

namespace {

struct Entry {
  std::string address;
  bool ticked = false;
  bool operator==(const Entry&) const = default;
};
using List = std::vector<Entry>;

class SettingsFaults : public ::testing::Test {
 protected:
  TempFolder folder;
  const std::string ini = folder.File("Orlent.ini");

  Lines Args(const Lines& command) const {
    Lines args{"--folder", folder.path(), "terminals"};
    args.insert(args.end(), command.begin(), command.end());
    return args;
  }
  ProcessResult Cli(const Lines& command) const {
    return RunProcess(ORLENT_CLI_PATH, Args(command), folder.path());
  }
  // Runs every command at the same time; their results in the same order.
  std::vector<ProcessResult> AllAtOnce(const std::vector<Lines>& commands) const {
    std::vector<std::future<ProcessResult>> running;
    for (const auto& command : commands) {
      running.push_back(std::async(std::launch::async, [this, command] { return Cli(command); }));
    }
    std::vector<ProcessResult> results;
    for (auto& one : running) results.push_back(one.get());
    return results;
  }
  void WriteList(const List& list) const {
    std::string text =
        "[Terminal]\r\nTerminalPort=20404\r\nTerminalNums=" + std::to_string(list.size()) + "\r\n";
    for (std::size_t n = 1; n <= list.size(); ++n) {
      text += "TerminalIP_" + std::to_string(n) + "=" + list[n - 1].address + "\r\n";
      text +=
          "TerminalChecked_" + std::to_string(n) + "=" + (list[n - 1].ticked ? "1" : "0") + "\r\n";
    }
    folder.Write("Orlent.ini", text);
  }
  List ReadList() const {
    const SettingsFile file(ini);
    List list;
    const int count = file.ReadInteger("Terminal", "TerminalNums", 0);
    for (int n = 1; n <= count; ++n) {
      list.push_back({file.ReadString("Terminal", "TerminalIP_" + std::to_string(n), ""),
                      file.ReadBool("Terminal", "TerminalChecked_" + std::to_string(n), false)});
    }
    return list;
  }
  std::set<std::string> Files() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
      names.insert(entry.path().filename().string());
    }
    return names;
  }
};

// orlent-cli started without waiting for it, its output thrown away.
pid_t Start(const Lines& args) {
  const pid_t pid = fork();
  if (pid == 0) {
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(null, 2);
    std::vector<char*> argv{const_cast<char*>(ORLENT_CLI_PATH)};
    for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(ORLENT_CLI_PATH, argv.data());
    _exit(127);
  }
  return pid;
}

}  // namespace

TEST_F(SettingsFaults, ConcurrentAddsAllSurvive) {
  struct Case {
    int rounds;
    int atOnce;
  };
  std::string row;
  for (const Case c : {Case{10, 2}, Case{1, 100}}) {
    std::set<std::string> expected;
    for (int round = 0; round < c.rounds; ++round) {
      std::vector<Lines> adds;
      for (int i = 0; i < c.atOnce; ++i) {
        const std::string address = "127.1." + std::to_string(round) + "." + std::to_string(i);
        adds.push_back({"add", address});
        expected.insert(address);
      }
      for (const auto& result : AllAtOnce(adds)) EXPECT_EQ(result.exitCode, 0) << result.err;
    }
    std::set<std::string> stored;
    for (const auto& entry : ReadList()) stored.insert(entry.address);
    EXPECT_EQ(stored, expected);
    row += (row.empty() ? "" : "; ") + std::to_string(c.rounds) + " x " + std::to_string(c.atOnce) +
           " adds: " + std::to_string(stored.size()) + " of " + std::to_string(expected.size()) +
           " stored";
    std::filesystem::remove(ini);
  }
  AddMatrixRow("orlent-cli adds at once", row, "-");
}

TEST_F(SettingsFaults, ADeleteRacingATickNeverRemovesTheWrongTerminal) {
  const List deleteFirst = {{"127.0.0.3", false}, {"127.0.0.4", true}};
  const List tickFirst = {{"127.0.0.3", true}, {"127.0.0.4", false}};
  int wrong = 0;
  for (int round = 0; round < 10; ++round) {
    WriteList({{"127.0.0.2"}, {"127.0.0.3"}, {"127.0.0.4"}});
    for (const auto& result : AllAtOnce({{"delete", "1"}, {"tick", "2", "on"}})) {
      EXPECT_EQ(result.exitCode, 0) << result.err;
    }
    const List list = ReadList();
    EXPECT_TRUE(list == deleteFirst || list == tickFirst) << "round " << round;
    wrong += list == deleteFirst || list == tickFirst ? 0 : 1;
  }
  AddMatrixRow("delete 1 racing tick 2, 10 rounds",
               std::to_string(wrong) + " rounds left a list neither order gives", "-");
}

TEST_F(SettingsFaults, AKillDuringASaveLeavesTheOldOrTheNewListAndNoTemporaryFile) {
  List before;
  for (int n = 2; n < 22; ++n) before.push_back({"127.0.0." + std::to_string(n), n % 2 == 0});
  const List after(before.begin() + 1, before.end());
  // How long a delete takes here, to spread the kills over its whole run.
  WriteList(before);
  const auto started = std::chrono::steady_clock::now();
  ASSERT_EQ(Cli({"delete", "1"}).exitCode, 0);
  const auto runUs = std::chrono::duration_cast<std::chrono::microseconds>(
                         std::chrono::steady_clock::now() - started)
                         .count();
  ASSERT_EQ(ReadList(), after);

  std::mt19937 random(11);
  std::uniform_int_distribution<long> delay(0, runUs + runUs / 4);
  const std::set<std::string> settled = {"Orlent.ini", "Orlent.ini.lock"};
  int killed = 0, mixed = 0;
  for (int round = 0; round < 30; ++round) {
    WriteList(before);
    const pid_t pid = Start(Args({"delete", "1"}));
    std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    killed += WIFSIGNALED(status) ? 1 : 0;
    const List list = ReadList();
    EXPECT_TRUE(list == before || list == after) << "round " << round;
    mixed += list == before || list == after ? 0 : 1;
    // At most the one temporary name, left by a kill between naming and renaming.
    auto files = Files();
    files.erase("Orlent.ini.tmp");
    EXPECT_TRUE(std::includes(settled.begin(), settled.end(), files.begin(), files.end()));
  }
  // Rounds whose kill came too late prove nothing; a run of only those would
  // pass without a single kill.
  EXPECT_GT(killed, 0);
  ASSERT_EQ(Cli({"tick", "1", "on"}).exitCode, 0);
  EXPECT_EQ(Files(), settled);
  AddMatrixRow(
      "kill -9 during terminals delete, 30 rounds",
      std::to_string(killed) + " killed, " + std::to_string(mixed) +
          " mixed lists, temporary files left: " + std::to_string(Files().size() - settled.size()),
      "-");
}

TEST_F(SettingsFaults, AWindowHoldingTheFolderRefusesCommandLineEdits) {
  WriteList({{"127.0.0.2", true}});
  const std::string before = folder.Read("Orlent.ini");
  ProgramFixture fixture(false);
  Program program(fixture.loop, fixture.view, fixture.link.Table(), folder.File("orlent"));
  program.Start(StartUp{FolderRole::Window, false});

  const std::string refusal =
      "ERROR: " + ini + " is open in an Orlent window (process " + std::to_string(getpid()) + ")\n";
  for (const Lines& edit : std::vector<Lines>{{"add", "127.0.0.3"},
                                              {"delete", "1"},
                                              {"change", "1", "127.0.0.3"},
                                              {"tick", "1", "off"},
                                              {"port", "20405"}}) {
    const ProcessResult result = Cli(edit);
    EXPECT_EQ(result.exitCode, 2) << edit[0];
    EXPECT_EQ(result.err, refusal) << edit[0];
  }
  EXPECT_EQ(folder.Read("Orlent.ini"), before);
  const ProcessResult list = Cli({});
  EXPECT_EQ(list.exitCode, 0) << list.err;
  EXPECT_EQ(list.out, "Port 20404\n1 [x] 127.0.0.2\n");

  program.Close();
  EXPECT_EQ(Cli({"add", "127.0.0.3"}).exitCode, 0);
  EXPECT_EQ(ReadList().size(), 2u);
  AddMatrixRow("orlent-cli edits while a window is open",
               "refused, exit 2, \"... is open in an Orlent window (process N)\"", "-");
}

TEST_F(SettingsFaults, ABadPortIsRefusedAndNothingIsSaved) {
  WriteList({{"127.0.0.2", true}});
  const std::string before = folder.Read("Orlent.ini");
  for (const char* port : {"abc", "0", "-5", "70000", "20404\r"}) {
    const ProcessResult result = Cli({"port", "--", port});
    EXPECT_EQ(result.exitCode, 2) << port;
    EXPECT_EQ(result.err,
              std::string("ERROR: The port '") + port + "' is not a number from 1 to 65535 !\n");
  }
  EXPECT_EQ(folder.Read("Orlent.ini"), before);
}

TEST_F(SettingsFaults, ASettingsFileThatCannotBeReadEndsEveryCommand) {
  std::filesystem::create_directory(ini);  // a folder where the file should be
  for (const Lines& command : std::vector<Lines>{{}, {"add", "127.0.0.2"}, {"tick", "1", "on"}}) {
    const ProcessResult result = Cli(command);
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.err, "ERROR: Unable to read " + ini + "\n");
    EXPECT_EQ(result.out, "");
  }
  EXPECT_TRUE(std::filesystem::is_directory(ini));
}
