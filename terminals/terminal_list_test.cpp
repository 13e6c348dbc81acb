#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "terminals/atomic_file.h"
#include "terminals/ini_file.h"
#include "tests/support/form_fixture.h"

using Lines = std::vector<std::string>;

namespace {

// A window started on a prepared settings file.
struct TerminalList : ::testing::Test {
  FormFixture f{false};
  TForm1& form = *f.form;

  void Start(const std::string& settings) {
    f.folder.Write("Orlent.ini", settings);
    form.FormCreate();
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
    for (const auto& entry : form.CheckListBox1.Items) texts.push_back(entry.Text);
    return texts;
  }
  std::vector<bool> Ticks() const {
    std::vector<bool> ticks;
    for (const auto& entry : form.CheckListBox1.Items) ticks.push_back(entry.Checked);
    return ticks;
  }
  std::string Value(const std::string& key) const {
    return TIniFile(f.folder.File("Orlent.ini")).ReadString("Terminal", key, "<missing>");
  }
};

}  // namespace

TEST_F(TerminalList, FirstSavesBuildTheDocumentedFile) {
  Start("");
  form.Edit7.Text = "192.167.0.101";
  form.BBtnAddClick();
  form.CheckListBox1.Items[0].Checked = true;
  form.Edit7.Text = "192.167.0.102";
  form.BBtnAddClick();
  EXPECT_EQ(File(),
            "[Terminal]\r\nTerminalPort=20404\r\nTerminalNums=2\r\n"
            "TerminalIP_1=192.167.0.101\r\nTerminalChecked_1=1\r\n"
            "TerminalIP_2=192.167.0.102\r\nTerminalChecked_2=0\r\n");
}

TEST_F(TerminalList, CountThatIsMissingOrNotPositiveGivesAnEmptyList) {
  for (const char* count : {"", "TerminalNums=0\r\n", "TerminalNums=-2\r\n", "TerminalNums=two\r\n",
                            "TerminalNums=\r\n"}) {
    Start(std::string("[Terminal]\r\n") + count + "TerminalIP_1=127.0.0.2\r\n");
    EXPECT_TRUE(form.CheckListBox1.Items.empty()) << count;
    EXPECT_EQ(form.Edit2.Text, "20404");
  }
}

TEST_F(TerminalList, LoadFillsTheListWithoutSelectionAndTellsTheView) {
  StartWithThree();
  form.CheckListBox1.ItemIndex = 1;
  const int changes = f.view.terminalListChanges;
  form.LoadTerminalSettings();
  EXPECT_EQ(Texts(), (Lines{"127.0.0.2", "127.0.0.3", "127.0.0.4"}));
  EXPECT_EQ(Ticks(), (std::vector<bool>{false, true, true}));
  EXPECT_EQ(form.CheckListBox1.ItemIndex, -1);
  EXPECT_EQ(f.view.terminalListChanges, changes + 1);
}

TEST_F(TerminalList, EntryWithoutAddressLoadsEmptyAndTheSaveClosesTheGap) {
  Start(
      "[Terminal]\r\nTerminalPort=20404\r\nTerminalNums=3\r\n"
      "TerminalIP_1=127.0.0.2\r\nTerminalChecked_1=1\r\n"
      "TerminalChecked_2=0\r\n"
      "TerminalIP_3=127.0.0.4\r\nTerminalChecked_3=1\r\n");
  EXPECT_EQ(Texts(), (Lines{"127.0.0.2", "", "127.0.0.4"}));
  EXPECT_EQ(Ticks(), (std::vector<bool>{true, false, true}));

  form.SaveTerminalSettings();
  EXPECT_EQ(Value("TerminalNums"), "2");
  EXPECT_EQ(Value("TerminalIP_2"), "127.0.0.4");
  EXPECT_EQ(Value("TerminalChecked_2"), "1");
  EXPECT_EQ(Value("TerminalIP_3"), "127.0.0.4");  // left over, never read again
  form.LoadTerminalSettings();
  EXPECT_EQ(Texts(), (Lines{"127.0.0.2", "127.0.0.4"}));
}

TEST_F(TerminalList, DamagedHugeCountLoadsOnlyTheEntriesTheFileHolds) {
  Start(
      "[Terminal]\r\nTerminalNums=2000000000\r\n"
      "TerminalIP_1=127.0.0.2\r\nterminalchecked_2=1\r\nTerminalIP_07=x\r\n");
  EXPECT_EQ(Texts(), (Lines{"127.0.0.2", ""}));
  EXPECT_EQ(Ticks(), (std::vector<bool>{false, true}));
}

TEST_F(TerminalList, AddAppendsUntickedEntryEvenTwiceAndKeepsTheTextAsTyped) {
  StartWithThree();
  for (const char* text : {"127.0.0.2", "292.267.222.303"}) {
    form.Edit7.Text = text;
    form.BBtnAddClick();
  }
  EXPECT_EQ(Texts(),
            (Lines{"127.0.0.2", "127.0.0.3", "127.0.0.4", "127.0.0.2", "292.267.222.303"}));
  EXPECT_EQ(Ticks(), (std::vector<bool>{false, true, true, false, false}));
  EXPECT_EQ(Value("TerminalNums"), "5");
  EXPECT_EQ(Value("TerminalIP_5"), "292.267.222.303");
  EXPECT_EQ(form.Edit7.Text, "");
  EXPECT_EQ(form.CheckListBox1.ItemIndex, -1);
  EXPECT_EQ(f.view.focus, (Lines{"Edit7", "Edit7"}));
  EXPECT_TRUE(f.view.errors.empty());
}

TEST_F(TerminalList, AddWithAnEmptyIpBoxOnlyComplains) {
  StartWithThree();
  const std::string before = File();
  form.BBtnAddClick();
  EXPECT_EQ(f.view.errors, Lines{"Please define the new IP address !"});
  EXPECT_EQ(f.view.focus, Lines{"Edit7"});
  EXPECT_EQ(Texts().size(), 3u);
  EXPECT_EQ(File(), before);
}

TEST_F(TerminalList, DeletingTheSecondOfThreeMovesTheThirdUpWithItsTick) {
  StartWithThree();
  form.CheckListBox1.ItemIndex = 1;
  form.Edit7.Text = "ignored";
  form.BBtnDeleteClick();
  EXPECT_EQ(Texts(), (Lines{"127.0.0.2", "127.0.0.4"}));
  EXPECT_EQ(Ticks(), (std::vector<bool>{false, true}));
  EXPECT_EQ(Value("TerminalNums"), "2");
  EXPECT_EQ(Value("TerminalIP_2"), "127.0.0.4");
  EXPECT_EQ(Value("TerminalChecked_2"), "1");
  EXPECT_EQ(form.CheckListBox1.ItemIndex, 0);  // the first, not the neighbour
  EXPECT_EQ(form.Edit7.Text, "");
  EXPECT_EQ(f.view.focus, Lines{"CheckListBox1"});
}

TEST_F(TerminalList, DeletingTheOnlyEntryLeavesItsKeysBehind) {
  Start(
      "[Terminal]\r\nTerminalPort=20404\r\nTerminalNums=1\r\n"
      "TerminalIP_1=127.0.0.2\r\nTerminalChecked_1=1\r\n");
  form.CheckListBox1.ItemIndex = 0;
  form.BBtnDeleteClick();
  EXPECT_TRUE(form.CheckListBox1.Items.empty());
  EXPECT_EQ(form.CheckListBox1.ItemIndex, -1);
  EXPECT_EQ(File(),
            "[Terminal]\r\nTerminalPort=20404\r\nTerminalNums=0\r\n"
            "TerminalIP_1=127.0.0.2\r\nTerminalChecked_1=1\r\n");
}

TEST_F(TerminalList, DeleteWithoutSelectionComplainsThenSelectsTheFirst) {
  StartWithThree();
  const std::string before = File();
  form.Edit7.Text = "127.0.0.9";
  form.BBtnDeleteClick();
  EXPECT_EQ(f.view.errors, Lines{"IP address must be selected from the list above !"});
  EXPECT_EQ(form.CheckListBox1.ItemIndex, 0);
  EXPECT_EQ(form.Edit7.Text, "127.0.0.9");
  EXPECT_EQ(f.view.focus, Lines{"CheckListBox1"});
  EXPECT_EQ(File(), before);

  Start("");
  form.BBtnDeleteClick();
  EXPECT_EQ(form.CheckListBox1.ItemIndex, -1);  // nothing to select
}

TEST_F(TerminalList, ChangingATickedEntryKeepsTickAndSelection) {
  StartWithThree();
  form.CheckListBox1.ItemIndex = 2;
  form.Edit7.Text = "127.0.0.5";
  form.BBtnEditClick();
  EXPECT_EQ(Texts(), (Lines{"127.0.0.2", "127.0.0.3", "127.0.0.5"}));
  EXPECT_EQ(Ticks(), (std::vector<bool>{false, true, true}));
  EXPECT_EQ(Value("TerminalIP_3"), "127.0.0.5");
  EXPECT_EQ(form.CheckListBox1.ItemIndex, 2);
  EXPECT_EQ(form.Edit7.Text, "");
  EXPECT_EQ(f.view.focus, Lines{"CheckListBox1"});
}

TEST_F(TerminalList, ChangeSelectsNothingWhenTheReloadedListIsShorter) {
  // The empty second entry is dropped by the save, so position 2 is gone.
  Start(
      "[Terminal]\r\nTerminalNums=3\r\nTerminalIP_1=127.0.0.2\r\nTerminalChecked_2=0\r\n"
      "TerminalIP_3=127.0.0.4\r\n");
  form.CheckListBox1.ItemIndex = 2;
  form.Edit7.Text = "127.0.0.5";
  form.BBtnEditClick();
  EXPECT_EQ(Texts(), (Lines{"127.0.0.2", "127.0.0.5"}));
  EXPECT_EQ(form.CheckListBox1.ItemIndex, -1);
}

TEST_F(TerminalList, ChangeChecksTheIpBoxBeforeTheSelection) {
  StartWithThree();
  const std::string before = File();
  form.BBtnEditClick();
  form.Edit7.Text = "127.0.0.9";
  form.BBtnEditClick();
  EXPECT_EQ(f.view.errors, (Lines{"Please define the new IP address to change !",
                                  "IP address must be selected from the list above !"}));
  EXPECT_EQ(form.Edit7.Text, "127.0.0.9");
  EXPECT_EQ(form.CheckListBox1.ItemIndex, -1);
  EXPECT_EQ(f.view.focus, (Lines{"CheckListBox1", "CheckListBox1"}));
  EXPECT_EQ(File(), before);
}

TEST_F(TerminalList, EmptiedPortBoxIsSavedEmptyAndLoadsBackEmpty) {
  StartWithThree();
  form.Edit2.Text = "";
  form.FormClose();
  EXPECT_EQ(Value("TerminalPort"), "");
  form.FormCreate();
  EXPECT_EQ(form.Edit2.Text, "");
}

TEST_F(TerminalList, FailedWriteEndsTheEditWithTheListStillEdited) {
  StartWithThree();
  const std::string before = File();
  const std::string path = f.folder.File("Orlent.ini");
  std::filesystem::create_directory(TemporaryPathFor(path));  // stops every write
  form.CheckListBox1.ItemIndex = 0;
  form.Edit7.Text = "127.0.0.9";
  form.HandleEvent([&] { form.BBtnEditClick(); });
  EXPECT_EQ(f.view.failures, Lines{"Unable to write to " + path});
  EXPECT_EQ(Texts(), (Lines{"127.0.0.9", "127.0.0.3", "127.0.0.4"}));  // the edit in memory
  EXPECT_EQ(form.Edit7.Text, "127.0.0.9");
  EXPECT_TRUE(f.view.focus.empty());
  EXPECT_EQ(File(), before);
}

TEST_F(TerminalList, AddressWithALineBreakCannotReachTheFile) {
  StartWithThree();
  const std::string before = File();
  form.Edit7.Text = "127.0.0.9\r\nTerminalNums=99";
  form.HandleEvent([&] { form.BBtnAddClick(); });
  EXPECT_EQ(f.view.errors, Lines{"The IP address must not hold control characters !"});
  EXPECT_EQ(File(), before);
}
