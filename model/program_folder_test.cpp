// The working folder of a program folder, as a normal user meets it: a
// writable or read-only program folder and settings file, with and without
// XDG_DATA_HOME, and the seeding of the per-user folder, from the program
// folder itself or from the folders of an installed Orlent.
#include "model/program_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <grp.h>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <vector>

#include "tests/support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

constexpr uid_t kNobody = 65534;

// Runs `work` in a child process as a normal user (root may write anywhere,
// so as root the child runs as nobody, owning `tree`) and returns what it
// printed.
std::string AsNormalUser(const std::string& tree, const std::function<std::string()>& work) {
  if (geteuid() == 0) {
    for (const auto& entry : fs::recursive_directory_iterator(tree)) {
      EXPECT_EQ(lchown(entry.path().c_str(), kNobody, kNobody), 0);
    }
    EXPECT_EQ(lchown(tree.c_str(), kNobody, kNobody), 0);
  }
  int out[2];
  if (pipe(out) != 0) return "pipe failed";
  const pid_t child = fork();
  if (child == 0) {
    close(out[0]);
    const bool dropped = geteuid() != 0 ||
                         (setgroups(0, nullptr) == 0 && setresgid(kNobody, kNobody, kNobody) == 0 &&
                          setresuid(kNobody, kNobody, kNobody) == 0);
    const std::string said = dropped ? work() : "could not become nobody";
    const bool written = write(out[1], said.data(), said.size()) == ssize_t(said.size());
    _exit(written ? 0 : 1);
  }
  close(out[1]);
  std::string said;
  char buffer[512];
  for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;) said.append(buffer, n);
  close(out[0]);
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  return said;
}

mode_t ModeOf(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

std::size_t FilesIn(const std::string& folder) {
  std::size_t count = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder)) ++count;
  return count;
}

enum class Expect { ProgramFolder, DataHome, Home };

struct Case {
  const char* name;
  mode_t folderMode;     // of the program folder
  int settingsMode;      // of its Orlent.ini; -1: none there
  const char* dataHome;  // XDG_DATA_HOME; nullptr: unset; a leading "@/" is the scratch folder
  const char* userHas;   // a PLU-Down-Default.txt already in the per-user folder, or nullptr
  Expect expect;
};

class WorkingFolderCase : public ::testing::TestWithParam<Case> {};

TEST_P(WorkingFolderCase, IsTheProgramFolderWhenWritableElseThePreparedPerUserFolder) {
  const Case& c = GetParam();
  TempFolder scratch;
  const std::string program = scratch.File("program");
  const std::string dataHome = scratch.File("data/xdg");
  const std::string home = scratch.File("home");
  fs::create_directories(program);
  fs::create_directories(home);
  scratch.Write("program/PLU-Down-Default.txt", "1\tApple\r\n");
  scratch.Write("program/Barcode-Down.txt", "1\t1\r\n");
  scratch.Write("program/libtermlink.so", "not a sample");
  if (c.settingsMode >= 0) {
    scratch.Write("program/Orlent.ini", "[Terminal]\r\nTerminalNums=0\r\n");
    chmod(scratch.File("program/Orlent.ini").c_str(), c.settingsMode);
  }
  const std::string perUser =
      c.expect == Expect::Home ? home + "/.local/share/orlent" : dataHome + "/orlent";
  if (c.userHas) {
    fs::create_directories(perUser);
    scratch.Write(perUser.substr(scratch.path().size() + 1) + "/PLU-Down-Default.txt", c.userHas);
  }
  chmod(program.c_str(), c.folderMode);

  const std::string chosen = AsNormalUser(scratch.path(), [&] {
    setenv("HOME", home.c_str(), 1);
    unsetenv("XDG_DATA_HOME");
    if (c.dataHome) {
      const std::string value = c.dataHome;
      setenv("XDG_DATA_HOME", value.starts_with("@/") ? dataHome.c_str() : value.c_str(), 1);
    }
    return WorkingFolder(program);
  });
  chmod(program.c_str(), 0755);

  if (c.expect == Expect::ProgramFolder) {
    EXPECT_EQ(chosen, program);
    EXPECT_FALSE(fs::exists(dataHome) || fs::exists(home + "/.local"));
    return;
  }
  ASSERT_EQ(chosen, perUser);
  const std::string firstMade = c.expect == Expect::Home ? home + "/.local" : scratch.File("data");
  // Each folder the program made is private to the user.
  for (std::string folder = perUser; !c.userHas && folder.size() >= firstMade.size();
       folder = fs::path(folder).parent_path().string()) {
    EXPECT_EQ(ModeOf(folder), 0700u) << folder;
  }
  EXPECT_EQ(scratch.Read(perUser.substr(scratch.path().size() + 1) + "/PLU-Down-Default.txt"),
            c.userHas ? c.userHas : "1\tApple\r\n");
  EXPECT_TRUE(fs::exists(perUser + "/Barcode-Down.txt"));
  EXPECT_FALSE(fs::exists(perUser + "/libtermlink.so"));
  EXPECT_EQ(fs::exists(perUser + "/Orlent.ini"), c.settingsMode >= 0);
  EXPECT_EQ(FilesIn(perUser), c.settingsMode >= 0 ? 3u : 2u) << "a temporary file was left";
  EXPECT_EQ(FilesIn(program), c.settingsMode >= 0 ? 4u : 3u) << "the program folder was changed";
}

INSTANTIATE_TEST_SUITE_P(
    Folders, WorkingFolderCase,
    ::testing::Values(
        Case{"WritableFolder", 0755, -1, "@/", nullptr, Expect::ProgramFolder},
        Case{"WritableFolderAndSettings", 0755, 0644, "@/", nullptr, Expect::ProgramFolder},
        Case{"ReadOnlySettingsStays", 0755, 0444, "@/", nullptr, Expect::ProgramFolder},
        Case{"ReadOnlyFolder", 0555, -1, "@/", nullptr, Expect::DataHome},
        Case{"ReadOnlyFolderNoDataHome", 0555, 0644, nullptr, nullptr, Expect::Home},
        Case{"ReadOnlyFolderEmptyDataHome", 0555, -1, "", nullptr, Expect::Home},
        Case{"ReadOnlyFolderRelativeDataHome", 0555, -1, "data", nullptr, Expect::Home},
        Case{"UsersOwnSampleIsKept", 0555, -1, "@/", "2\tMine\r\n", Expect::DataHome}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SampleFolders, OfAnInstalledOrlentAreTheSettingsFolderThenItsSharedData) {
  struct Row {
    const char* program;
    std::vector<std::string> folders;
  };
  const Row rows[] = {
      {"/usr/lib/orlent", {"/etc/orlent", "/usr/share/orlent"}},
      {"/usr/local/lib/orlent", {"/usr/local/etc/orlent", "/usr/local/share/orlent"}},
      {"/tmp/root/usr/lib/orlent", {"/tmp/root/etc/orlent", "/tmp/root/usr/share/orlent"}},
      {"/lib/orlent", {"/etc/orlent", "/share/orlent"}},
      {"/opt/orlent", {"/opt/orlent"}},
      {"/home/ann/mylib/orlent", {"/home/ann/mylib/orlent"}},
      {"/srv/lib/orlent-3", {"/srv/lib/orlent-3"}},
      {"", {""}},
  };
  for (const Row& row : rows) EXPECT_EQ(SampleFolders(row.program), row.folders) << row.program;
}

TEST(InstalledPerUserFolder, TakesTheAdministratorsFilesBeforeTheSamples) {
  TempFolder scratch;
  fs::create_directories(scratch.File("usr/share/orlent"));
  fs::create_directories(scratch.File("etc/orlent"));
  scratch.Write("usr/share/orlent/PLU-Down-Default.txt", "1\tSample\r\n");
  scratch.Write("usr/share/orlent/Barcode-Down.txt", "1\t1\r\n");
  scratch.Write("etc/orlent/Orlent.ini", "[Terminal]\r\nTerminalNums=0\r\n");
  scratch.Write("etc/orlent/PLU-Down-Default.txt", "1\tShop\r\n");
  const std::string program = scratch.File("usr/lib/orlent");
  fs::create_directories(program);
  chmod(program.c_str(), 0555);
  const std::string dataHome = scratch.File("data");

  const std::string chosen = AsNormalUser(scratch.path(), [&] {
    setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
    return WorkingFolder(program);
  });
  chmod(program.c_str(), 0755);
  ASSERT_EQ(chosen, dataHome + "/orlent");
  EXPECT_EQ(scratch.Read("data/orlent/Orlent.ini"), "[Terminal]\r\nTerminalNums=0\r\n");
  EXPECT_EQ(scratch.Read("data/orlent/PLU-Down-Default.txt"), "1\tShop\r\n");
  EXPECT_EQ(scratch.Read("data/orlent/Barcode-Down.txt"), "1\t1\r\n");
  EXPECT_EQ(FilesIn(chosen), 3u);
}

}  // namespace
