// The window over a settings file that is not a plain writable file:
// unreadable, not a regular file, read-only, or a symbolic link; and the
// window against the locks of its folder.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "settings/atomic_file.h"
#include "settings/folder_lock.h"
#include "settings/settings_file.h"
#include "tests/support/program_fixture.h"

using Lines = std::vector<std::string>;
namespace fs = std::filesystem;

namespace {

const std::string kOneEntry = "[Terminal]\r\nTerminalNums=1\r\nTerminalIP_1=127.0.0.2\r\n";

Lines FilesIn(const std::string& folder) {
  Lines names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

TEST(SettingsFileFaults, AFileThatCannotBeReadIsReportedAndNeverReplaced) {
  // A folder and a FIFO in the file's place; a FIFO would make a read wait
  // for a writer for ever.
  for (const bool fifo : {false, true}) {
    ProgramFixture f(false);
    const std::string path = f.folder.File("Orlent.ini");
    ASSERT_EQ(fifo ? mkfifo(path.c_str(), 0644) : mkdir(path.c_str(), 0755), 0);
    f.program->HandleEvent([&] { f.program->Start(); });
    EXPECT_EQ(f.view.failures, Lines{"Unable to read " + path});
    EXPECT_EQ(f.program->Activity().Lines(), Lines{"Orlent V3.0.0.0"});  // start-up went on
    f.program->HandleEvent([&] { f.program->Close(); });
    EXPECT_EQ(f.view.failures.back(), "Unable to write to " + path);
    EXPECT_EQ(fifo ? fs::is_fifo(path) : fs::is_directory(path), true);
  }
}

TEST(SettingsFileFaults, AReadOnlyFileIsRefusedAndALinkKeepsPointingAtItsTarget) {
  ProgramFixture f(false);
  const std::string path = f.folder.File("Orlent.ini");
  f.folder.Write("Orlent.ini", kOneEntry);
  ASSERT_EQ(chmod(path.c_str(), 0444), 0);
  f.program->Start();
  f.program->HandleEvent([&] { f.program->AddTerminal("127.0.0.3"); });
  EXPECT_EQ(f.view.failures, Lines{"Unable to write to " + path});
  EXPECT_EQ(f.folder.Read("Orlent.ini"), kOneEntry);

  ASSERT_EQ(chmod(path.c_str(), 0644), 0);
  fs::create_directory(f.folder.File("shared"));
  fs::rename(path, f.folder.File("shared/Orlent.ini"));
  fs::create_symlink("shared/Orlent.ini", path);
  // The typed address is still there, as the failed save did not take it.
  f.program->HandleEvent([&] { f.program->AddTerminal("127.0.0.3"); });
  EXPECT_TRUE(fs::is_symlink(path));
  EXPECT_NE(f.folder.Read("shared/Orlent.ini").find("TerminalIP_2=127.0.0.3"), std::string::npos);
  EXPECT_EQ(FilesIn(f.folder.File("shared")), Lines{"Orlent.ini"});
}

TEST(SettingsFileFaults, ALeftoverTemporaryFileIsRemovedByTheNextEdit) {
  ProgramFixture f(false);
  const std::string saved =
      "[Terminal]\r\nTerminalPort=20404\r\nTerminalNums=1\r\nTerminalIP_1=127.0.0.2\r\n"
      "TerminalChecked_1=0\r\n";
  f.folder.Write("Orlent.ini", saved);
  f.folder.Write("Orlent.ini.tmp", "[Terminal]\r\nTerminalNums=0\r\n");  // a crash's leftover
  f.program->Start();
  f.program->Close();  // writes nothing new: the list is unchanged
  EXPECT_EQ(FilesIn(f.folder.path()), (Lines{"Orlent.ini", "Orlent.ini.lock"}));
  EXPECT_EQ(f.folder.Read("Orlent.ini"), saved);
}

// What each role meets is the folder claim's (settings/folder_claim_test.cpp);
// here: a start that is refused loads nothing, and the window's close lets go.
TEST(SettingsFileFaults, AStartRefusedWhileAWindowHoldsTheFolderLoadsNothing) {
  ProgramFixture window(false);
  window.folder.Write("Orlent.ini", kOneEntry);
  window.program->Start(StartUp{FolderRole::Window, false});
  for (const FolderRole role : {FolderRole::Window, FolderRole::Editor, FolderRole::Reader}) {
    Program second(window.loop, window.view, window.link.Table(), window.folder.File("orlent"));
    bool refused = false;
    try {
      second.Start(StartUp{role, false});
    } catch (const FolderInUse&) {
      refused = true;
    }
    EXPECT_EQ(refused, role != FolderRole::Reader) << static_cast<int>(role);
    EXPECT_EQ(second.Terminals().Entries().size(), refused ? 0u : 1u) << static_cast<int>(role);
  }
  window.program->Close();  // the window's lock goes with its settings file object
  Program after(window.loop, window.view, window.link.Table(), window.folder.File("orlent"));
  EXPECT_NO_THROW(after.Start(StartUp{FolderRole::Window, false}));
}

TEST(SettingsFileFaults, ATerminalServedByAnotherProcessFailsItsConnect) {
  ProgramFixture f(false);
  f.folder.Write("Orlent.ini", kOneEntry);
  f.program->Start();
  FolderLock other(f.folder.File("Orlent.ini.lock"));
  ASSERT_TRUE(other.LockTerminal("127.0.0.2"));
  f.program->Serve("127.0.0.2");
  f.program->Connect(ServedOrder(*f.program));
  EXPECT_EQ(f.link.CallNames().back(), "AddProcConnectionEx");  // no Connect
  EXPECT_EQ(
      f.program->Activity().Lines(),
      (Lines{"Orlent V3.0.0.0", "", "- Terminal In Use 127.0.0.2", "- Fail Connect 127.0.0.2"}));

  // Once the other process lets go, this one takes it, and gives it back at
  // the end of its transfer.
  other.UnlockTerminal("127.0.0.2");
  f.program->Connect(ServedOrder(*f.program));
  EXPECT_EQ(f.link.CallNames().back(), "Connect");
  EXPECT_FALSE(other.LockTerminal("127.0.0.2"));
  f.loop.RunPending();
  f.program->Disconnect(ServedOrder(*f.program));
  EXPECT_TRUE(other.LockTerminal("127.0.0.2"));
}
