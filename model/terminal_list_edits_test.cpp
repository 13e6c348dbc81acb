// The window's terminal list and port box: loaded, saved at close, and
// edited with the Add, Delete and Change buttons.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "settings/atomic_file.h"
#include "settings/settings_file.h"
#include "tests/support/program_fixture.h"

using Lines = std::vector<std::string>;

namespace {

// A window started on a prepared settings file.
struct TerminalListEdits : ::testing::Test {
  ProgramFixture f{false};
  Program& program = *f.program;

  void Start(const std::string& settings) {
    f.folder.Write("Orlent.ini", settings);
    program.Start();
  }
  void StartWithThree() {
    Start(
        "[Terminal]\r\nTerminalPort=20404\r\nTerminalNums=3\r\n"
        "TerminalIP_1=127.0.0.2\r\nTerminalChecked_1=0\r\n"
        "TerminalIP_2=127.0.0.3\r\nTerminalChecked_2=1\r\n"
        "TerminalIP_3=127.0.0.4\r\nTerminalChecked_3=1\r\n");
  }
  std::string File() const { return f.folder.Read("Orlent.ini"); }
  Lines Texts() const {
    Lines texts;
    for (const auto& entry : program.Terminals().Entries()) texts.push_back(entry.address);
    return texts;
  }
  std::vector<bool> Ticks() const {
    std::vector<bool> ticks;
    for (const auto& entry : program.Terminals().Entries()) ticks.push_back(entry.ticked);
    return ticks;
  }
  std::string Value(const std::string& key) const {
    return SettingsFile(f.folder.File("Orlent.ini")).ReadString("Terminal", key, "<missing>");
  }
};

}  // namespace

TEST_F(TerminalListEdits, FirstSavesBuildTheDocumentedFile) {
  Start("");
  program.AddTerminal("127.0.0.101");
  program.Terminals().Tick(0, true);
  program.AddTerminal("127.0.0.102");
  EXPECT_EQ(File(),
            "[Terminal]\r\nTerminalPort=20404\r\nTerminalNums=2\r\n"
            "TerminalIP_1=127.0.0.101\r\nTerminalChecked_1=1\r\n"
            "TerminalIP_2=127.0.0.102\r\nTerminalChecked_2=0\r\n");
}

TEST_F(TerminalListEdits, LoadFillsTheListWithoutSelectionAndTellsTheView) {
  StartWithThree();
  program.Terminals().Select(1);
  const int changes = f.view.terminalListChanges;
  program.LoadTerminalSettings();
  EXPECT_EQ(Texts(), (Lines{"127.0.0.2", "127.0.0.3", "127.0.0.4"}));
  EXPECT_EQ(Ticks(), (std::vector<bool>{false, true, true}));
  EXPECT_EQ(program.Terminals().Selected(), -1);
  EXPECT_EQ(f.view.terminalListChanges, changes + 1);
}

TEST_F(TerminalListEdits, AddAppendsUntickedEntryEvenTwiceAndKeepsTheTextAsTyped) {
  StartWithThree();
  std::vector<bool> taken;  // the typed address is used up: the IP box is emptied
  for (const char* text : {"127.0.0.2", "127.0.0.300"}) {
    taken.push_back(program.AddTerminal(text));
  }
  EXPECT_EQ(Texts(),
            (Lines{"127.0.0.2", "127.0.0.3", "127.0.0.4", "127.0.0.2", "127.0.0.300"}));
  EXPECT_EQ(Ticks(), (std::vector<bool>{false, true, true, false, false}));
  EXPECT_EQ(Value("TerminalNums"), "5");
  EXPECT_EQ(Value("TerminalIP_5"), "127.0.0.300");
  EXPECT_EQ(taken, (std::vector<bool>{true, true}));
  EXPECT_EQ(program.Terminals().Selected(), -1);
  EXPECT_EQ(f.view.focus, (Lines{"AddressBox", "AddressBox"}));
  EXPECT_TRUE(f.view.errors.empty());
}

TEST_F(TerminalListEdits, AddWithAnEmptyIpBoxOnlyComplains) {
  StartWithThree();
  const std::string before = File();
  EXPECT_FALSE(program.AddTerminal(""));
  EXPECT_EQ(f.view.errors, Lines{"Please define the new IP address !"});
  EXPECT_EQ(f.view.focus, Lines{"AddressBox"});
  EXPECT_EQ(Texts().size(), 3u);
  EXPECT_EQ(File(), before);
}

TEST_F(TerminalListEdits, DeletingTheSecondOfThreeMovesTheThirdUpWithItsTick) {
  StartWithThree();
  program.Terminals().Select(1);
  const bool taken = program.DeleteTerminal();
  EXPECT_EQ(Texts(), (Lines{"127.0.0.2", "127.0.0.4"}));
  EXPECT_EQ(Ticks(), (std::vector<bool>{false, true}));
  EXPECT_EQ(Value("TerminalNums"), "2");
  EXPECT_EQ(Value("TerminalIP_2"), "127.0.0.4");
  EXPECT_EQ(Value("TerminalChecked_2"), "1");
  EXPECT_EQ(program.Terminals().Selected(), 0);  // the first, not the neighbour
  EXPECT_TRUE(taken);                            // the IP box is emptied
  EXPECT_EQ(f.view.focus, Lines{"TerminalList"});
}

TEST_F(TerminalListEdits, DeletingTheOnlyEntryLeavesItsKeysBehind) {
  Start(
      "[Terminal]\r\nTerminalPort=20404\r\nTerminalNums=1\r\n"
      "TerminalIP_1=127.0.0.2\r\nTerminalChecked_1=1\r\n");
  program.Terminals().Select(0);
  program.DeleteTerminal();
  EXPECT_TRUE(program.Terminals().Entries().empty());
  EXPECT_EQ(program.Terminals().Selected(), -1);
  EXPECT_EQ(File(),
            "[Terminal]\r\nTerminalPort=20404\r\nTerminalNums=0\r\n"
            "TerminalIP_1=127.0.0.2\r\nTerminalChecked_1=1\r\n");
}

TEST_F(TerminalListEdits, DeleteWithoutSelectionComplainsThenSelectsTheFirst) {
  StartWithThree();
  const std::string before = File();
  const bool taken = program.DeleteTerminal();
  EXPECT_EQ(f.view.errors, Lines{"IP address must be selected from the list above !"});
  EXPECT_EQ(program.Terminals().Selected(), 0);
  EXPECT_FALSE(taken);  // the IP box keeps its text
  EXPECT_EQ(f.view.focus, Lines{"TerminalList"});
  EXPECT_EQ(File(), before);

  Start("");
  program.DeleteTerminal();
  EXPECT_EQ(program.Terminals().Selected(), -1);  // nothing to select
}

TEST_F(TerminalListEdits, ChangingATickedEntryKeepsTickAndSelection) {
  StartWithThree();
  program.Terminals().Select(2);
  const bool taken = program.ChangeTerminal("127.0.0.5");
  EXPECT_EQ(Texts(), (Lines{"127.0.0.2", "127.0.0.3", "127.0.0.5"}));
  EXPECT_EQ(Ticks(), (std::vector<bool>{false, true, true}));
  EXPECT_EQ(Value("TerminalIP_3"), "127.0.0.5");
  EXPECT_EQ(program.Terminals().Selected(), 2);
  EXPECT_TRUE(taken);
  EXPECT_EQ(f.view.focus, Lines{"TerminalList"});
}

TEST_F(TerminalListEdits, ChangeSelectsNothingWhenTheReloadedListIsShorter) {
  // The empty second entry is dropped by the save, so position 2 is gone.
  Start(
      "[Terminal]\r\nTerminalNums=3\r\nTerminalIP_1=127.0.0.2\r\nTerminalChecked_2=0\r\n"
      "TerminalIP_3=127.0.0.4\r\n");
  program.Terminals().Select(2);
  program.ChangeTerminal("127.0.0.5");
  EXPECT_EQ(Texts(), (Lines{"127.0.0.2", "127.0.0.5"}));
  EXPECT_EQ(program.Terminals().Selected(), -1);
}

TEST_F(TerminalListEdits, ChangeChecksTheIpBoxBeforeTheSelection) {
  StartWithThree();
  const std::string before = File();
  program.ChangeTerminal("");
  const bool taken = program.ChangeTerminal("127.0.0.9");
  EXPECT_EQ(f.view.errors, (Lines{"Please define the new IP address to change !",
                                  "IP address must be selected from the list above !"}));
  EXPECT_FALSE(taken);
  EXPECT_EQ(program.Terminals().Selected(), -1);
  EXPECT_EQ(f.view.focus, (Lines{"TerminalList", "TerminalList"}));
  EXPECT_EQ(File(), before);
}

TEST_F(TerminalListEdits, EmptiedPortBoxIsSavedEmptyAndLoadsBackEmpty) {
  StartWithThree();
  program.Terminals().SetPort("");
  program.Close();
  EXPECT_EQ(Value("TerminalPort"), "");
  program.Start();
  EXPECT_EQ(program.Terminals().Port(), "");
}

TEST_F(TerminalListEdits, FailedWriteEndsTheEditWithTheListStillEdited) {
  StartWithThree();
  const std::string before = File();
  const std::string path = f.folder.File("Orlent.ini");
  std::filesystem::create_directory(TemporaryPathFor(path));  // stops every write
  program.Terminals().Select(0);
  bool taken = false;
  program.HandleEvent([&] { taken = program.ChangeTerminal("127.0.0.9"); });
  EXPECT_EQ(f.view.failures, Lines{"Unable to write to " + path});
  EXPECT_EQ(Texts(), (Lines{"127.0.0.9", "127.0.0.3", "127.0.0.4"}));  // the edit in memory
  EXPECT_FALSE(taken);
  EXPECT_TRUE(f.view.focus.empty());
  EXPECT_EQ(File(), before);
}

TEST_F(TerminalListEdits, AddressWithALineBreakCannotReachTheFile) {
  StartWithThree();
  const std::string before = File();
  program.HandleEvent([&] { program.AddTerminal("127.0.0.9\r\nTerminalNums=99"); });
  EXPECT_EQ(f.view.errors, Lines{"The IP address must not hold control characters !"});
  EXPECT_EQ(File(), before);
}

TEST(TerminalListEditsRefusal, ControlCharactersInAnAddressAreRefusedAtTheEdit) {
  for (const char* address : {"127.0.0.9\r", "a\nb", "a\tb", "\x1b[0m", "x\x7f"}) {
    ProgramFixture f(false);
    const std::string before = "[Terminal]\r\nTerminalNums=1\r\nTerminalIP_1=a\r\n";
    f.folder.Write("Orlent.ini", before);
    f.program->Start();
    f.program->AddTerminal(address);
    f.program->Terminals().Select(0);
    f.program->ChangeTerminal(address);
    EXPECT_EQ(f.view.errors, Lines(2, "The IP address must not hold control characters !"));
    EXPECT_EQ(f.folder.Read("Orlent.ini"), before);
    EXPECT_EQ(f.program->Terminals().Entries().size(), 1u);
  }
}
