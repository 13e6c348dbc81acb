#include "settings/settings_file.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <csignal>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>

#include "settings/atomic_file.h"
#include "settings/folder_lock.h"
#include "settings/settings_edit.h"
#include "tests/support/temp_folder.h"

namespace {

struct SettingsFileTest : ::testing::Test {
  TempFolder folder;
  std::string path = folder.File("Orlent.ini");
  SettingsFile ini{path};

  std::string Bytes() const { return folder.Read("Orlent.ini"); }
  void Prepare(const std::string& bytes) const { folder.Write("Orlent.ini", bytes); }
  ino_t Inode() const {
    struct stat info {};
    EXPECT_EQ(stat(path.c_str(), &info), 0);
    return info.st_ino;
  }
  // Every write must fail with the path in the text and leave the bytes alone.
  void ExpectWriteFails(const std::string& before) {
    try {
      ini.WriteString("Terminal", "TerminalPort", "20405");
      ADD_FAILURE() << "the write reported no failure";
    } catch (const std::runtime_error& e) {
      EXPECT_EQ(std::string(e.what()), "Unable to write to " + path);
    }
    EXPECT_EQ(Bytes(), before);
    EXPECT_FALSE(std::filesystem::is_regular_file(TemporaryPathFor(path)));
  }
};

// Lowers the largest file this process may write, as a full disk would, for
// the life of the object.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old_);
    oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);  // the write fails instead of killing us
    const rlimit lower{bytes, old_.rlim_max};
    setrlimit(RLIMIT_FSIZE, &lower);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, oldHandler_);
  }

 private:
  rlimit old_{};
  void (*oldHandler_)(int) = nullptr;
};

}  // namespace

TEST_F(SettingsFileTest, MissingFileGivesDefaultsAndIsNotCreatedByReads) {
  EXPECT_EQ(ini.ReadString("Terminal", "TerminalPort", "20404"), "20404");
  EXPECT_EQ(ini.ReadInteger("Terminal", "TerminalNums", -1), -1);
  EXPECT_TRUE(ini.ReadBool("Terminal", "TerminalChecked_1", true));
  EXPECT_TRUE(ini.ReadSection("Terminal").empty());
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(SettingsFileTest, NewFileGetsCrLfAndKeysInWriteOrder) {
  ini.WriteString("Terminal", "TerminalPort", "20404");
  ini.WriteInteger("Terminal", "TerminalNums", 0);
  ini.WriteBool("Terminal", "TerminalChecked_1", true);
  ini.WriteBool("Terminal", "TerminalChecked_2", false);
  ini.WriteInteger("Terminal", "TerminalNums", -7);
  EXPECT_EQ(Bytes(),
            "[Terminal]\r\nTerminalPort=20404\r\nTerminalNums=-7\r\n"
            "TerminalChecked_1=1\r\nTerminalChecked_2=0\r\n");
}

TEST_F(SettingsFileTest, NamesMatchWithoutRegardToCaseAndKeepTheirSpelling) {
  Prepare("[terminal]\nterminalPORT=1\n");
  EXPECT_EQ(ini.ReadString("TERMINAL", "TerminalPort", "x"), "1");
  ini.WriteString("Terminal", "TerminalPort", "2");
  EXPECT_EQ(Bytes(), "[terminal]\nterminalPORT=2\n");
  EXPECT_EQ(ini.ReadSection("Terminal"), std::vector<std::string>{"terminalPORT"});
}

TEST_F(SettingsFileTest, WritesChangeOnlyTheirLineAndKeepEverythingElse) {
  Prepare(
      "; shop settings\r\n"
      "[Other]\r\n"
      "Colour=blue\r\n"
      "\r\n"
      "[Terminal]\r\n"
      "  TerminalPort = 20404  \r\n"
      "Unknown=kept\r\n"
      "; a comment inside\r\n"
      "\r\n"
      "\r\n"
      "[Last]\r\n"
      "x=1");
  ini.WriteString("Terminal", "TerminalPort", "9");  // in place
  ini.WriteString("Terminal", "TerminalNums", "0");  // end of its section
  ini.WriteString("Added", "Key", "v");              // new section at the end
  ini.WriteString("Other", "Colour", "blue");        // unchanged
  EXPECT_EQ(Bytes(),
            "; shop settings\r\n"
            "[Other]\r\n"
            "Colour=blue\r\n"
            "\r\n"
            "[Terminal]\r\n"
            "TerminalPort=9\r\n"
            "Unknown=kept\r\n"
            "; a comment inside\r\n"
            "TerminalNums=0\r\n"
            "\r\n"
            "\r\n"
            "[Last]\r\n"
            "x=1\r\n"
            "[Added]\r\n"
            "Key=v\r\n");
}

TEST_F(SettingsFileTest, ExistingFileKeepsItsLineEnds) {
  Prepare("[Terminal]\nTerminalPort=1\nTerminalNums=0\n");
  ini.WriteString("Terminal", "TerminalIP_1", "127.0.0.2");
  ini.WriteString("Terminal", "TerminalPort", "2");
  EXPECT_EQ(Bytes(), "[Terminal]\nTerminalPort=2\nTerminalNums=0\nTerminalIP_1=127.0.0.2\n");
}

TEST_F(SettingsFileTest, ReadsCrLfAndLfAlike) {
  Prepare("[Terminal]\r\nA=crlf\r\nB=lf\nC=last");
  EXPECT_EQ(ini.ReadString("Terminal", "A", ""), "crlf");
  EXPECT_EQ(ini.ReadString("Terminal", "B", ""), "lf");
  EXPECT_EQ(ini.ReadString("Terminal", "C", ""), "last");
}

TEST_F(SettingsFileTest, StringsLoseSurroundingBlanksAndOnePairOfQuotes) {
  Prepare(
      "[Terminal]\r\n"
      "Blanks= \t 127.0.0.2 \t \r\n"
      "Double=\"quoted\"\r\n"
      "Single=' both '\r\n"
      "Twice=\"\"twice\"\"\r\n"
      "Unmatched=\"open'\r\n"
      "Lone=\"\r\n"
      "Empty=\r\n"
      "Inner=a=b\r\n");
  EXPECT_EQ(ini.ReadString("Terminal", "Blanks", "d"), "127.0.0.2");
  EXPECT_EQ(ini.ReadString("Terminal", "Double", "d"), "quoted");
  EXPECT_EQ(ini.ReadString("Terminal", "Single", "d"), " both ");
  EXPECT_EQ(ini.ReadString("Terminal", "Twice", "d"), "\"twice\"");
  EXPECT_EQ(ini.ReadString("Terminal", "Unmatched", "d"), "\"open'");
  EXPECT_EQ(ini.ReadString("Terminal", "Lone", "d"), "\"");
  EXPECT_EQ(ini.ReadString("Terminal", "Empty", "d"), "");  // present: no default
  EXPECT_EQ(ini.ReadString("Terminal", "Inner", "d"), "a=b");
  EXPECT_EQ(ini.ReadString("Terminal", "Missing", "d"), "d");
  EXPECT_EQ(ini.ReadString("Elsewhere", "Blanks", "d"), "d");
}

TEST_F(SettingsFileTest, StringsAreCutAt2047Characters) {
  const std::string longValue(3000, 'a');
  ini.WriteString("Terminal", "Long", longValue);
  EXPECT_EQ(ini.ReadString("Terminal", "Long", ""), std::string(2047, 'a'));
  EXPECT_EQ(Bytes(), "[Terminal]\r\nLong=" + longValue + "\r\n");  // the file keeps it all
}

TEST_F(SettingsFileTest, IntegersAndBooleansFollowTheConversionRules) {
  Prepare(
      "[N]\r\n"
      "Dec=  -42\r\nPlus=+7\r\nDollar=$1F\r\nX=x1f\r\nZeroX=0X1f\r\n"
      "Big=2147483647\r\nTooBig=2147483648\r\nSmall=-2147483648\r\n"
      "Trailing=12abc\r\nWord=abc\r\nEmpty=\r\nQuoted=\"5\"\r\n"
      "Zero=0\r\nTwo=2\r\nMinus=-1\r\n");
  const auto read = [&](const char* key) { return ini.ReadInteger("N", key, 99); };
  EXPECT_EQ(read("Dec"), -42);
  EXPECT_EQ(read("Plus"), 7);
  EXPECT_EQ(read("Dollar"), 31);
  EXPECT_EQ(read("X"), 31);
  EXPECT_EQ(read("ZeroX"), 31);
  EXPECT_EQ(read("Big"), 2147483647);
  EXPECT_EQ(read("TooBig"), 99);
  EXPECT_EQ(read("Small"), -2147483647 - 1);
  EXPECT_EQ(read("Trailing"), 99);
  EXPECT_EQ(read("Word"), 99);
  EXPECT_EQ(read("Empty"), 99);
  EXPECT_EQ(read("Quoted"), 5);
  EXPECT_EQ(read("Missing"), 99);
  EXPECT_FALSE(ini.ReadBool("N", "Zero", true));
  EXPECT_TRUE(ini.ReadBool("N", "Two", false));
  EXPECT_TRUE(ini.ReadBool("N", "Minus", false));
  EXPECT_FALSE(ini.ReadBool("N", "Word", false));
  EXPECT_TRUE(ini.ReadBool("N", "Word", true));
}

TEST_F(SettingsFileTest, EightBitBytesPassUnchanged) {
  const std::string latin1 = "caf\xE9 \xA3\xFF";
  Prepare("[Terminal]\r\nName=\xC4\xD6\r\n");
  ini.WriteString("Terminal", "Shop", latin1);
  EXPECT_EQ(ini.ReadString("Terminal", "Shop", ""), latin1);
  EXPECT_EQ(Bytes(), "[Terminal]\r\nName=\xC4\xD6\r\nShop=" + latin1 + "\r\n");
}

TEST_F(SettingsFileTest, OnlyTheFirstOfTwoEqualSectionsIsReadAndWritten) {
  Prepare("[Terminal]\r\nA=1\r\n[terminal]\r\nA=2\r\nB=3\r\n");
  EXPECT_EQ(ini.ReadString("Terminal", "A", ""), "1");
  EXPECT_EQ(ini.ReadString("Terminal", "B", "d"), "d");
  EXPECT_EQ(ini.ReadSection("Terminal"), std::vector<std::string>{"A"});
  ini.WriteString("Terminal", "A", "x");
  ini.WriteString("Terminal", "C", "y");
  EXPECT_EQ(Bytes(), "[Terminal]\r\nA=x\r\nC=y\r\n[terminal]\r\nA=2\r\nB=3\r\n");
}

TEST_F(SettingsFileTest, KeysOutsideAnySectionAndCommentsAreNotKeys) {
  Prepare("A=outside\r\n[Terminal]\r\n;A=comment\r\nnot a key\r\n");
  EXPECT_EQ(ini.ReadString("Terminal", "A", "d"), "d");
  EXPECT_TRUE(ini.ReadSection("Terminal").empty());
}

TEST_F(SettingsFileTest, WriteReplacesTheFileByRenameAndKeepsItsPermissions) {
  Prepare("[Terminal]\r\nTerminalPort=1\r\n");
  ASSERT_EQ(chmod(path.c_str(), 0640), 0);
  const ino_t before = Inode();
  ini.WriteString("Terminal", "TerminalPort", "2");
  EXPECT_NE(Inode(), before);  // a new file took the old one's place
  struct stat info {};
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_FALSE(std::filesystem::exists(TemporaryPathFor(path)));
}

TEST_F(SettingsFileTest, WriteThatChangesNothingLeavesTheFileAlone) {
  Prepare("[Terminal]\r\nTerminalPort=1\r\n");
  const ino_t before = Inode();
  ini.WriteString("terminal", "TERMINALPORT", "1");
  EXPECT_EQ(Inode(), before);
}

TEST_F(SettingsFileTest, WriteInAReadOnlyFolderFailsAndChangesNothing) {
  const std::string before = "[Terminal]\r\nTerminalPort=20404\r\n";
  Prepare(before);
  ASSERT_EQ(chmod(folder.path().c_str(), 0555), 0);
  const std::string probe = folder.File("probe");
  const int fd = open(probe.c_str(), O_WRONLY | O_CREAT, 0644);
  if (fd >= 0) {
    // Permissions do not stop this user (root): take the temporary file's
    // name with a folder instead, which stops anyone.
    close(fd);
    unlink(probe.c_str());
    std::filesystem::create_directory(TemporaryPathFor(path));
  }
  ExpectWriteFails(before);
}

TEST_F(SettingsFileTest, WriteCutShortByAFullDiskChangesNothing) {
  const std::string before = "[Terminal]\r\nTerminalPort=20404\r\nTerminalNums=0\r\n";
  Prepare(before);
  {
    FileSizeLimit limit(16);
    EXPECT_THROW(ini.WriteString("Terminal", "TerminalIP_1", "127.0.0.2"), std::runtime_error);
  }
  EXPECT_EQ(Bytes(), before);
  EXPECT_FALSE(std::filesystem::exists(TemporaryPathFor(path)));
}

TEST_F(SettingsFileTest, FileThatCannotBeReadIsNeitherReadNorReplaced) {
  std::filesystem::create_directory(path);
  EXPECT_EQ(ini.ReadString("Terminal", "TerminalPort", "20404"), "20404");
  EXPECT_THROW(ini.WriteString("Terminal", "TerminalPort", "1"), std::runtime_error);
  EXPECT_TRUE(std::filesystem::is_directory(path));
}

TEST_F(SettingsFileTest, ValueWithALineBreakIsRefused) {
  const std::string before = "[Terminal]\r\nTerminalNums=1\r\n";
  Prepare(before);
  for (const char* value : {"127.0.0.2\r\nTerminalNums=99", "a\nb", "a\rb"}) {
    EXPECT_THROW(ini.WriteString("Terminal", "TerminalIP_1", value), std::invalid_argument);
  }
  EXPECT_EQ(Bytes(), before);
}

TEST_F(SettingsFileTest, AnEditThatDoesNotWaitIsRefusedWhileAnotherHoldsTheLock) {
  const std::string before = "[Terminal]\r\nTerminalPort=20404\r\n";
  Prepare(before);
  ini.WaitForLock(false);
  const std::function<void()> edits[] = {
      [this] { ini.WriteString("Terminal", "TerminalPort", "20405"); },
      [this] { SettingsEdit load(ini, SettingsEdit::Purpose::Load); },
  };
  for (const auto& edit : edits) {
    const std::string held = Bytes();
    {
      FolderLock other(path + ".lock");  // another Orlent process's hold
      other.LockEdits(true);
      ASSERT_TRUE(other.HoldsEdits());
      try {
        edit();
        ADD_FAILURE() << "the edit went through under another's lock";
      } catch (const SettingsBusy& busy) {
        EXPECT_EQ(std::string(busy.what()),
                  "Unable to write to " + path + ": another Orlent process is changing it");
      }
      EXPECT_EQ(Bytes(), held);
      EXPECT_FALSE(ini.Lock().HoldsEdits());
    }
    edit();  // the lock is free again
  }
  EXPECT_EQ(Bytes(), "[Terminal]\r\nTerminalPort=20405\r\n");
}
