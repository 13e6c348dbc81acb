#include "session/upload_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>

#include "records/records.h"
#include "tests/support/program_fixture.h"

namespace {

// Number of this process's open file descriptors that refer to `path`.
int DescriptorsOpenOn(const std::string& path) {
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    std::error_code error;
    if (std::filesystem::read_symlink(entry.path(), error) == path) ++count;
  }
  return count;
}

}  // namespace

TEST(UploadFile, CreateMakesANewFileOrEmptiesAnOldOne) {
  TempFolder folder;
  folder.Write("old.txt", "earlier upload\r\n");
  auto old = UploadFile::Create(folder.File("old.txt"));
  EXPECT_EQ(folder.Read("old.txt"), "");
  auto fresh = UploadFile::Create(folder.File("new.txt"));
  EXPECT_EQ(fresh->Path(), folder.File("new.txt"));
  EXPECT_EQ(folder.Read("new.txt"), "");
}

TEST(UploadFile, EveryWriteIsInTheFileBeforeItReturns) {
  TempFolder folder;
  auto file = UploadFile::Create(folder.File("up.txt"));
  ASSERT_TRUE(file->Write("1, 2, 3\r\n"));
  EXPECT_EQ(folder.Read("up.txt"), "1, 2, 3\r\n");
  ASSERT_TRUE(file->Write(std::string("a\0b\r\n", 5)));
  EXPECT_EQ(folder.Read("up.txt"), std::string("1, 2, 3\r\na\0b\r\n", 14));
}

TEST(UploadFile, CreateInAMissingFolderNamesThePathAndTheReason) {
  TempFolder folder;
  const std::string path = folder.File("no-such-folder/up.txt");
  try {
    UploadFile::Create(path);
    FAIL() << "created";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()),
              "Cannot create file \"" + path + "\". No such file or directory");
  }
}

TEST(CloseUploadFile, ClosesAndForgetsTheFileAndOtherwiseDoesNothing) {
  ProgramFixture fx(false);
  TerminalSession& session = fx.program->OpenServedSession(ServedOrder(*fx.program));
  session.CloseUploadFile();
  EXPECT_EQ(session.OpenUploadFile(), nullptr);

  session.Upload(0, fx.folder.File("up.txt"));  // no kind: opens the file, asks for nothing
  ASSERT_NE(session.OpenUploadFile(), nullptr);
  EXPECT_EQ(DescriptorsOpenOn(fx.folder.File("up.txt")), 1);
  ASSERT_TRUE(session.OpenUploadFile()->Write("line\r\n"));
  session.CloseUploadFile();
  EXPECT_EQ(session.OpenUploadFile(), nullptr);
  EXPECT_EQ(fx.folder.Read("up.txt"), "line\r\n");
  EXPECT_EQ(DescriptorsOpenOn(fx.folder.File("up.txt")), 0);
  EXPECT_TRUE(fx.link.sent.empty());
}
