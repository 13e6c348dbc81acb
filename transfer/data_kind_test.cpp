#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/form_fixture.h"

namespace {

struct Kind {
  void (TForm1::*click)();
  TRadioButton TForm1::*button;
  const char* sendFile;
  const char* uploadFile;
  bool reportTypes;
};

const Kind kKinds[] = {
    {&TForm1::RadioButton2Click, &TForm1::RadioButton2, "Barcode-Down.txt", "Barcode-Up.txt",
     false},
    {&TForm1::RadioButton3Click, &TForm1::RadioButton3, "", "reportPLU-up.txt", true},
    {&TForm1::RadioButton11Click, &TForm1::RadioButton11, "Ingredient-Down.txt",
     "Ingredient-Up.txt", false},
    {&TForm1::RadioButton12Click, &TForm1::RadioButton12, "ScrollMsg-Down.txt", "ScrollMsg-Up.txt",
     false},
    {&TForm1::RadioButton13Click, &TForm1::RadioButton13, "Speedkey-Down.txt", "Speedkey-Up.txt",
     false},
    {&TForm1::RadioButton1Click, &TForm1::RadioButton1, "PLU-Down.txt", "PLU-Up.txt", false},
};

std::vector<TRadioButton TForm1::*> DataKindGroup() {
  return {&TForm1::RadioButton1,  &TForm1::RadioButton2,  &TForm1::RadioButton3,
          &TForm1::RadioButton11, &TForm1::RadioButton12, &TForm1::RadioButton13};
}

std::vector<TRadioButton TForm1::*> ReportTypeGroup() {
  return {&TForm1::RadioButton4, &TForm1::RadioButton5, &TForm1::RadioButton6,
          &TForm1::RadioButton7, &TForm1::RadioButton8, &TForm1::RadioButton9,
          &TForm1::RadioButton10};
}

}  // namespace

TEST(DataKind, EachChoiceSetsBothFileFieldsItsButtonAndTheReportTypes) {
  FormFixture fx(false);
  TForm1& form = *fx.form;
  form.RadioButton1.Checked = true;
  form.RadioButton6.Checked = true;
  for (const Kind& kind : kKinds) {
    SCOPED_TRACE(kind.uploadFile);
    (form.*kind.click)();
    EXPECT_EQ(form.SendFileBox.Text, kind.sendFile);
    EXPECT_EQ(form.UploadFileBox.Text, kind.uploadFile);
    for (auto button : DataKindGroup()) {
      EXPECT_EQ((form.*button).Checked, button == kind.button);
    }
    // PLU, Time, Group and Depart follow the kind; ScaleID, Clerk and TaxRate
    // stay disabled; the PLU report is chosen.
    const auto reports = ReportTypeGroup();
    for (std::size_t i = 0; i < reports.size(); ++i) {
      EXPECT_EQ((form.*reports[i]).Enabled, i < 4 && kind.reportTypes) << i;
      EXPECT_EQ((form.*reports[i]).Checked, i == 0) << i;
    }
  }
}

TEST(DataKind, DownloadFilePathIsInTheProgramFolderUnlessAFileWasPicked) {
  FormFixture fx(false);
  TForm1& form = *fx.form;
  form.ProgramFolder = "/opt/shop";
  form.SendFileBox.Text = "PLU-Down-Default.txt";
  EXPECT_EQ(form.DownloadFilePath(), "/opt/shop/PLU-Down-Default.txt");

  form.FileOpen1Accept("/home/clerk/items.plu");
  EXPECT_EQ(form.SendFileBox.Text, "/home/clerk/items.plu");
  EXPECT_TRUE(form.FileChosen);
  EXPECT_EQ(form.DownloadFilePath(), "/home/clerk/items.plu");

  // A kind chosen after the pick names its file in the program folder again.
  form.RadioButton2Click();
  EXPECT_FALSE(form.FileChosen);
  EXPECT_EQ(form.DownloadFilePath(), "/opt/shop/Barcode-Down.txt");
}
