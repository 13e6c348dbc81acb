#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "link/upload_file.h"
#include "tests/support/echo_answer.h"
#include "tests/support/form_fixture.h"
#include "transfer/records.h"
#include "transfer/upload.h"

namespace {

template <std::size_t N>
void SetText(char (&field)[N], const std::string& text) {
  std::memset(field, 0, N);
  std::memcpy(field, text.data(), text.size() < N ? text.size() : N);
}

class UploadLines : public ::testing::Test {
 protected:
  void SetUp() override { form.OpenUploadFile = UploadFile::Create(f.folder.File("up.txt")); }
  std::string FileText() const { return f.folder.Read("up.txt"); }

  FormFixture f;
  TForm1& form = *f.form;
};

TEST_F(UploadLines, PluLineHoldsTheDownloadColumnsInOrder) {
  PluRecord r{};
  r.Field1 = 65535;
  r.PluNo = -42;
  r.Field3 = 255;
  SetText(r.Text, "Cheese, aged\r\n12 months");
  r.Field5 = 1999;
  r.Field6 = -6;
  r.Field7 = 7;
  r.Field8 = 2147483647;
  r.Field9 = 9;
  AddPlu(form, &r);
  // The CR LF inside the text is written as two blanks: one record, one line.
  const std::string line =
      "65535, -42, 255, Cheese, aged  12 months, 1999, -6, 7, 2147483647, 9\r\n";
  EXPECT_EQ(FileText(), line);
  EXPECT_EQ(form.ListBox1.Items.back(), line + "AddPlu");
}

TEST_F(UploadLines, BarcodeIngredientAndScrollMessageLines) {
  BarcodeRecord barcode{};
  barcode.Number = 3;
  barcode.Field2 = 1;
  barcode.Field3 = 0;
  SetText(barcode.Text1, "Milk");
  SetText(barcode.Text2, "4001234567890");
  AddBarcode(form, &barcode);

  IngredientRecord ingredient{};
  ingredient.Number = 20;
  SetText(ingredient.Text, "Flour, salt");
  AddIngredient(form, &ingredient);

  ScrollMsgRecord scroll{};
  scroll.Number = 4;
  scroll.Field3 = 1;
  SetText(scroll.Text1, "not printed");
  AddScrollMsg(form, &scroll);

  EXPECT_EQ(FileText(), "3, 1, 0, Milk, 4001234567890\r\n20,Flour, salt\r\n4, , 1 \r\n");
  const auto& log = form.ListBox1.Items;
  EXPECT_EQ(log[log.size() - 3], "3, 1, 0, Milk, 4001234567890\r\nAddBarcode");
  EXPECT_EQ(log[log.size() - 2], "20,Flour, salt\r\nAddIngredient");
  EXPECT_EQ(log.back(), "4, , 1 \r\nAddScrollMsg");
  EXPECT_EQ(std::string("4, , 1 \r\n").size(), 9u);
}

TEST_F(UploadLines, ReportLinesBeginWithTheTimeStamp) {
  ReportPluRecord plu{};
  plu.Number = 77;  // not printed
  plu.Year = 24, plu.Month = 3, plu.Day = 7, plu.Hour = 9, plu.Minute = 5, plu.Second = 0;
  plu.Value0 = 10, plu.Value1 = 11, plu.Value2 = -12, plu.Value3 = 13, plu.Value4 = 14;
  plu.Value5 = 15, plu.Value6 = 16, plu.Value7 = 17, plu.Value8 = 18, plu.Value9 = 19;
  plu.Value10 = 20, plu.Value11 = 21;
  AddReportPLU(form, &plu);
  EXPECT_EQ(FileText(), "2024-03-07 09:05:00, 10, 11, -12, 13,18,19,20,14,15,16,17,21\r\n");

  ReportTotalRecord total{};
  total.Year = 255, total.Month = 12, total.Day = 31, total.Hour = 23, total.Minute = 59;
  total.Second = 100;
  total.Value1 = 1, total.Value2 = 2, total.Value3 = 3, total.Value4 = 4, total.Value5 = -5;
  AddReportTime(form, &total);
  AddReportGroup(form, &total);
  AddReportDept(form, &total);
  const std::string line = "2255-12-31 23:59:100, 1, 4, 2, -5,3\r\n";
  EXPECT_EQ(FileText(), "2024-03-07 09:05:00, 10, 11, -12, 13,18,19,20,14,15,16,17,21\r\n" + line +
                            line + line);
  const auto& log = form.ListBox1.Items;
  EXPECT_EQ(log[log.size() - 3], line + "AddReportTime");
  EXPECT_EQ(log[log.size() - 2], line + "AddReportGroup");
  EXPECT_EQ(log.back(), line + "AddReportDept");
}

TEST_F(UploadLines, ATextFillingItsFieldEndsAtTheFieldsEnd) {
  BarcodeRecord barcode{};
  std::memset(barcode.Text1, 'a', sizeof barcode.Text1);  // no zero byte: runs into Text2
  SetText(barcode.Text2, "b");
  AddBarcode(form, &barcode);
  EXPECT_EQ(FileText(), "0, 0, 0, " + std::string(51, 'a') + ", b\r\n");
}

TEST_F(UploadLines, ANullRecordWritesNothing) {
  const std::size_t lines = form.ListBox1.Items.size();
  AddPlu(form, nullptr);
  AddReportDept(form, nullptr);
  EXPECT_EQ(form.ListBox1.Items.size(), lines);
  EXPECT_EQ(FileText(), "");
}

TEST_F(UploadLines, WithoutAnUploadFileTheLineIsOnlyLogged) {
  form.CloseUploadFile();
  IngredientRecord ingredient{};
  ingredient.Number = 1;
  AddIngredient(form, &ingredient);
  EXPECT_EQ(form.ListBox1.Items.back(), "1,\r\nAddIngredient");
  EXPECT_EQ(FileText(), "");
}

TEST_F(UploadLines, ALineThatCannotBeWrittenEndsTheUpload) {
  form.Edit1.Text = "127.0.0.71";
  form.Action1Execute();
  form.Edit6.Text = "/dev/full";
  form.Action3Execute();
  PluRecord answer{};
  answer.PluNo = 1;
  Answer(f.link, f.loop, kCodePlu, kDirectionRead, answer);
  const auto& log = form.ListBox1.Items;
  EXPECT_EQ(log[log.size() - 2], "- Fail to Write /dev/full");
  EXPECT_EQ(log.back(), "- Success to Disconect 127.0.0.71");
  EXPECT_EQ(f.link.sent.size(), 1u) << "no record is asked for that would be lost";
  EXPECT_EQ(form.OpenUploadFile, nullptr);
}

TEST_F(UploadLines, AControlCharacterInATextIsWrittenAsABlank) {
  const std::pair<std::string, std::string> cases[] = {
      {"a\rb", "a b"},
      {"a\nb", "a b"},
      {"a\tb", "a b"},
      {"\x01x\x1F", " x "},
      {"del\x7F", "del "},
      {"caf\xE9 \x80", "caf\xE9 \x80"},
      {"\\r stays", "\\r stays"},
  };
  std::string expected;
  for (const auto& [text, written] : cases) {
    IngredientRecord ingredient{};
    ingredient.Number = 7;
    SetText(ingredient.Text, text);
    AddIngredient(form, &ingredient);
    expected += "7," + written + "\r\n";
    EXPECT_EQ(form.ListBox1.Items.back(), "7," + written + "\r\nAddIngredient");
  }
  EXPECT_EQ(FileText(), expected);
}

}  // namespace
