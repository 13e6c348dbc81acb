#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/program_fixture.h"

namespace {

struct Kind {
  DataKind kind;
  TRadioButton DataKindButtons::*button;
  const char* sendFile;
  const char* uploadFile;
  bool reportTypes;
};

const Kind kKinds[] = {
    {DataKind::Barcode, &DataKindButtons::Barcode, "Barcode-Down.txt", "Barcode-Up.txt", false},
    {DataKind::Report, &DataKindButtons::Report, "", "reportPLU-up.txt", true},
    {DataKind::Ingredient, &DataKindButtons::Ingredient, "Ingredient-Down.txt", "Ingredient-Up.txt",
     false},
    {DataKind::ScrollMsg, &DataKindButtons::ScrollMsg, "ScrollMsg-Down.txt", "ScrollMsg-Up.txt",
     false},
    {DataKind::Speedkey, &DataKindButtons::Speedkey, "Speedkey-Down.txt", "Speedkey-Up.txt", false},
    {DataKind::Plu, &DataKindButtons::Plu, "PLU-Down.txt", "PLU-Up.txt", false},
};

std::vector<TRadioButton DataKindButtons::*> DataKindGroup() {
  return {&DataKindButtons::Plu,        &DataKindButtons::Barcode,   &DataKindButtons::Report,
          &DataKindButtons::Ingredient, &DataKindButtons::ScrollMsg, &DataKindButtons::Speedkey};
}

std::vector<TRadioButton DataKindButtons::*> ReportTypeGroup() {
  return {&DataKindButtons::PluReport,     &DataKindButtons::TimeReport,
          &DataKindButtons::GroupReport,   &DataKindButtons::DeptReport,
          &DataKindButtons::ScaleIdReport, &DataKindButtons::ClerkReport,
          &DataKindButtons::TaxRateReport};
}

}  // namespace

TEST(DataKind, EachChoiceSetsBothFileFieldsItsButtonAndTheReportTypes) {
  ProgramFixture fx(false);
  Program& program = *fx.program;
  program.Kinds.Plu.Checked = true;
  program.Kinds.GroupReport.Checked = true;
  for (const Kind& kind : kKinds) {
    SCOPED_TRACE(kind.uploadFile);
    program.ChooseDataKind(kind.kind);
    EXPECT_EQ(program.SendFileBox.Text, kind.sendFile);
    EXPECT_EQ(program.UploadFileBox.Text, kind.uploadFile);
    for (auto button : DataKindGroup()) {
      EXPECT_EQ((program.Kinds.*button).Checked, button == kind.button);
    }
    // PLU, Time, Group and Depart follow the kind; ScaleID, Clerk and TaxRate
    // stay disabled; the PLU report is chosen.
    const auto reports = ReportTypeGroup();
    for (std::size_t i = 0; i < reports.size(); ++i) {
      EXPECT_EQ((program.Kinds.*reports[i]).Enabled, i < 4 && kind.reportTypes) << i;
      EXPECT_EQ((program.Kinds.*reports[i]).Checked, i == 0) << i;
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
