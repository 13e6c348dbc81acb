#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/program_fixture.h"

namespace {

struct Kind {
  void (Program::*click)();
  TRadioButton Program::*button;
  const char* sendFile;
  const char* uploadFile;
  bool reportTypes;
};

const Kind kKinds[] = {
    {&Program::RadioButton2Click, &Program::RadioButton2, "Barcode-Down.txt", "Barcode-Up.txt",
     false},
    {&Program::RadioButton3Click, &Program::RadioButton3, "", "reportPLU-up.txt", true},
    {&Program::RadioButton11Click, &Program::RadioButton11, "Ingredient-Down.txt",
     "Ingredient-Up.txt", false},
    {&Program::RadioButton12Click, &Program::RadioButton12, "ScrollMsg-Down.txt", "ScrollMsg-Up.txt",
     false},
    {&Program::RadioButton13Click, &Program::RadioButton13, "Speedkey-Down.txt", "Speedkey-Up.txt",
     false},
    {&Program::RadioButton1Click, &Program::RadioButton1, "PLU-Down.txt", "PLU-Up.txt", false},
};

std::vector<TRadioButton Program::*> DataKindGroup() {
  return {&Program::RadioButton1,  &Program::RadioButton2,  &Program::RadioButton3,
          &Program::RadioButton11, &Program::RadioButton12, &Program::RadioButton13};
}

std::vector<TRadioButton Program::*> ReportTypeGroup() {
  return {&Program::RadioButton4, &Program::RadioButton5, &Program::RadioButton6,
          &Program::RadioButton7, &Program::RadioButton8, &Program::RadioButton9,
          &Program::RadioButton10};
}

}  // namespace

TEST(DataKind, EachChoiceSetsBothFileFieldsItsButtonAndTheReportTypes) {
  ProgramFixture fx(false);
  Program& program = *fx.program;
  program.Kinds.Plu.Checked = true;
  program.Kinds.GroupReport.Checked = true;
  for (const Kind& kind : kKinds) {
    SCOPED_TRACE(kind.uploadFile);
    (program.*kind.click)();
    EXPECT_EQ(program.SendFileBox.Text, kind.sendFile);
    EXPECT_EQ(program.UploadFileBox.Text, kind.uploadFile);
    for (auto button : DataKindGroup()) {
      EXPECT_EQ((program.*button).Checked, button == kind.button);
    }
    // PLU, Time, Group and Depart follow the kind; ScaleID, Clerk and TaxRate
    // stay disabled; the PLU report is chosen.
    const auto reports = ReportTypeGroup();
    for (std::size_t i = 0; i < reports.size(); ++i) {
      EXPECT_EQ((program.*reports[i]).Enabled, i < 4 && kind.reportTypes) << i;
      EXPECT_EQ((program.*reports[i]).Checked, i == 0) << i;
    }
  }
}

TEST(DataKind, DownloadFilePathIsInTheProgramFolderUnlessAFileWasPicked) {
  ProgramFixture fx(false);
  Program& program = *fx.program;
  program.ProgramFolder = "/opt/shop";
  program.SendFileBox.Text = "PLU-Down-Default.txt";
  EXPECT_EQ(program.DownloadFilePath(), "/opt/shop/PLU-Down-Default.txt");

  program.ChooseSendFile("/home/clerk/items.plu");
  EXPECT_EQ(program.SendFileBox.Text, "/home/clerk/items.plu");
  EXPECT_TRUE(program.FileChosen);
  EXPECT_EQ(program.DownloadFilePath(), "/home/clerk/items.plu");

  // A kind chosen after the pick names its file in the program folder again.
  program.ChooseDataKind(DataKind::Barcode);
  EXPECT_FALSE(program.FileChosen);
  EXPECT_EQ(program.DownloadFilePath(), "/opt/shop/Barcode-Down.txt");
}
