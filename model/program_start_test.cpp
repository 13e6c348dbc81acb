// The core window at start and close: what it asks of the link library, what
// it shows first, and the settings file it reads and writes back.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "settings/atomic_file.h"
#include "settings/settings_file.h"
#include "tests/support/program_fixture.h"

using Lines = std::vector<std::string>;

namespace {

Lines FilesIn(const std::string& folder) {
  Lines names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  return names;
}

}  // namespace

TEST(StartUp, LeavesTheWindowReadyWithTheCaptionAloneInTheLog) {
  ProgramFixture f(false);
  f.program->ChooseSendFile("/picked/before/start.txt");
  f.program->Start();
  const Program& program = *f.program;

  EXPECT_EQ(program.Activity().Lines(), Lines{"Orlent V3.0.0.0"});
  EXPECT_EQ(f.view.appended, Lines{"Orlent V3.0.0.0"});
  EXPECT_TRUE(program.Terminals().Entries().empty());
  EXPECT_EQ(program.Terminals().Selected(), -1);
  EXPECT_EQ(program.Terminals().Port(), "20404");
  EXPECT_GE(f.view.terminalListChanges, 1);
  EXPECT_FALSE(program.CycleRunning());
  EXPECT_FALSE(program.FileChosen());
  // PLU is the data kind, yet the names are the start-up defaults.
  EXPECT_EQ(program.Kind().kind, DataKind::Plu);
  EXPECT_EQ(program.SendFile(), "PLU-Down-Default.txt");
  EXPECT_EQ(program.UploadFileName(), "PLU-Up-Default.txt");
  EXPECT_TRUE(f.view.errors.empty());
  EXPECT_TRUE(f.view.failures.empty());
}

TEST(StartUp, ProgramFolderIsTheExecutablesFolderWithoutTrailingSeparator) {
  ProgramFixture f;
  EXPECT_EQ(f.program->ProgramFolder(), f.folder.path());
  EXPECT_NE(f.program->ProgramFolder().back(), '/');
  ASSERT_TRUE(f.program->Settings());
  EXPECT_EQ(f.program->Settings()->FileName(), f.folder.path() + "/Orlent.ini");
  EXPECT_TRUE(FilesIn(f.folder.path()).empty());  // opening does not create the file
}

TEST(StartUp, RegistersWithTheLinkLibraryInOrderAndKeepsTheVersionOutOfTheLog) {
  ProgramFixture f;
  ASSERT_EQ(f.link.calls.size(), 5u);
  const auto& calls = f.link.calls;
  EXPECT_EQ(calls[0].name, "SetCommLibrary");
  EXPECT_EQ(calls[0].numbers, std::vector<int>{1});
  EXPECT_EQ(calls[0].texts, Lines{"TLTCPIP.DLL"});
  const std::vector<std::vector<int>> interpreters = {{100, 5000}, {100, 5010}, {100, 16}};
  const Lines names = {"Interp5000.dll", "Interp5010.dll", "Interp16.dll"};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(calls[1 + i].name, "AddInterpreter");
    EXPECT_EQ(calls[1 + i].numbers, interpreters[i]);
    EXPECT_EQ(calls[1 + i].texts, Lines{names[i]});
  }
  EXPECT_EQ(calls[4].name, "GetLibraryInfo");
  EXPECT_EQ(calls[4].numbers, std::vector<int>{3});  // byte 0 of the record
  EXPECT_EQ(calls[4].texts, Lines{""});

  // The fake answers 1.4 of 26-12-8; the last number is left-justified.
  EXPECT_EQ(f.program->VersionLine(), "- TLTCPIP.DLL Version 1.4 [26-12-8 ]");
  EXPECT_EQ(f.program->Activity().Lines(), Lines{"Orlent V3.0.0.0"});
}

TEST(StartUp, VersionLinePadsTheFirstDateNumbersWithZeros) {
  ProgramFixture f(false);
  const uint8_t version[5] = {12, 0, 5, 3, 17};
  std::copy(std::begin(version), std::end(version), f.link.versionInfo);
  f.program->Start();
  EXPECT_EQ(f.program->VersionLine(), "- TLTCPIP.DLL Version 12.0 [05-03-17]");
}

TEST(StartAndClose, FreshStartThenCloseWritesTheThreeLineFile) {
  ProgramFixture f;
  f.program->Close();
  EXPECT_EQ(f.folder.Read("Orlent.ini"), "[Terminal]\r\nTerminalPort=20404\r\nTerminalNums=0\r\n");
  // No temporary file left; the lock file stays for the next process.
  Lines files = FilesIn(f.folder.path());
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (Lines{"Orlent.ini", "Orlent.ini.lock"}));
  EXPECT_FALSE(f.program->Settings());
}

TEST(StartAndClose, TicksChangedBeforeCloseAreThereAtTheNextStart) {
  ProgramFixture f(false);
  f.folder.Write("Orlent.ini",
                 "[Terminal]\r\nTerminalPort=20405\r\nTerminalNums=2\r\n"
                 "TerminalIP_1=127.0.0.2\r\nTerminalChecked_1=0\r\n"
                 "TerminalIP_2=127.0.0.3\r\nTerminalChecked_2=1\r\n");
  f.program->Start();
  ASSERT_EQ(f.program->Terminals().Entries().size(), 2u);
  EXPECT_EQ(f.program->Terminals().Port(), "20405");
  f.program->Terminals().Tick(0, true);
  f.program->Terminals().Tick(1, false);
  f.program->Close();

  Program next(f.loop, f.view, f.link.Table(), f.folder.File("orlent"));
  next.Start();
  ASSERT_EQ(next.Terminals().Entries().size(), 2u);
  EXPECT_EQ(next.Terminals().Entries()[0].address, "127.0.0.2");
  EXPECT_TRUE(next.Terminals().Entries()[0].ticked);
  EXPECT_EQ(next.Terminals().Entries()[1].address, "127.0.0.3");
  EXPECT_FALSE(next.Terminals().Entries()[1].ticked);
  EXPECT_EQ(next.Terminals().Port(), "20405");
}

TEST(StartAndClose, CloseThatCannotSaveReportsItAndStillReleasesTheFile) {
  ProgramFixture f;
  const std::string path = f.folder.File("Orlent.ini");
  // Blocks the temporary file, which stops the write for any user, root included.
  std::filesystem::create_directory(TemporaryPathFor(path));
  try {
    f.program->Close();
    ADD_FAILURE() << "the close reported no failure";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + path);
  }
  EXPECT_FALSE(f.program->Settings());
  EXPECT_FALSE(std::filesystem::exists(path));
}
