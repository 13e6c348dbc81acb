// The claims of a program folder as each role makes them against a window
// that holds the folder, and the terminal lock of a connect.
#include "settings/folder_claim.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <string>

#include "settings/settings_file.h"
#include "tests/support/temp_folder.h"

namespace {

// What claiming the folder in `role` gives: empty when allowed, else the refusal.
std::string Claim(SettingsFile& file, FolderRole role) {
  try {
    ClaimProgramFolder(file, role);
  } catch (const FolderInUse& e) {
    return e.what();
  }
  return "";
}

}  // namespace

TEST(FolderClaim, EachRoleMeetsAWindowThatHoldsTheFolderAsItShould) {
  TempFolder folder;
  const std::string path = folder.File("Orlent.ini");
  struct Case {
    FolderRole role;
    std::string refusal;  // empty: allowed
  };
  const Case cases[] = {
      {FolderRole::Window, path + " is open in another Orlent window"},
      {FolderRole::Editor,
       path + " is open in an Orlent window (process " + std::to_string(getpid()) + ")"},
      {FolderRole::Reader, ""},
  };
  {
    SettingsFile window(path);
    ASSERT_EQ(Claim(window, FolderRole::Window), "");
    for (const auto& c : cases) {
      SettingsFile second(path);
      EXPECT_EQ(Claim(second, c.role), c.refusal) << static_cast<int>(c.role);
    }
  }
  // The window's claim goes with its settings file object.
  for (const auto& c : cases) {
    SettingsFile after(path);
    EXPECT_EQ(Claim(after, c.role), "") << static_cast<int>(c.role);
  }
}

TEST(FolderClaim, ATerminalIsServedByOneProcessAtATime) {
  TempFolder folder;
  SettingsFile mine(folder.File("Orlent.ini"));
  SettingsFile other(folder.File("Orlent.ini"));
  ASSERT_TRUE(ClaimTerminal(&other, "127.0.0.2"));
  EXPECT_FALSE(ClaimTerminal(&mine, "127.0.0.2"));
  EXPECT_TRUE(ClaimTerminal(&mine, "127.0.0.3"));    // another terminal is free
  EXPECT_TRUE(ClaimTerminal(nullptr, "127.0.0.2"));  // no folder to share
  ReleaseTerminal(&other, "127.0.0.2");
  EXPECT_TRUE(ClaimTerminal(&mine, "127.0.0.2"));
  EXPECT_FALSE(ClaimTerminal(&other, "127.0.0.2"));
}

TEST(FolderClaim, OneTerminalWrittenTwoWaysIsOneClaim) {
  TempFolder folder;
  SettingsFile mine(folder.File("Orlent.ini"));
  SettingsFile other(folder.File("Orlent.ini"));
  ASSERT_TRUE(ClaimTerminal(&other, "127.0.0.2"));
  EXPECT_FALSE(ClaimTerminal(&mine, "::ffff:127.0.0.2"));
  ReleaseTerminal(&other, "::FFFF:127.0.0.2");
  EXPECT_TRUE(ClaimTerminal(&mine, "::ffff:127.0.0.2"));
}
