// The upload line of every record kind, compared with lines written out by
// hand: the columns in order, the texts cut at their field and free of
// control characters, one CR LF at the end.
#include "records/upload_line.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

template <std::size_t N>
void SetText(char (&field)[N], const std::string& text) {
  std::memset(field, 0, N);
  std::memcpy(field, text.data(), text.size() < N ? text.size() : N);
}

PluRecord Plu() {
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
  return r;
}

BarcodeRecord Barcode() {
  BarcodeRecord r{};
  r.Number = 3;
  r.Field2 = 1;
  r.Field3 = 0;
  SetText(r.Text1, "Milk");
  SetText(r.Text2, "4001234567890");
  return r;
}

IngredientRecord Ingredient() {
  IngredientRecord r{};
  r.Number = 20;
  SetText(r.Text, "Flour, salt");
  return r;
}

ScrollMsgRecord ScrollMsg(const std::string& text) {
  ScrollMsgRecord r{};
  r.Number = 4;
  r.Field3 = 1;
  SetText(r.Text1, "not printed");
  SetText(r.Text2, text);
  return r;
}

ReportPluRecord ReportPlu() {
  ReportPluRecord r{};
  r.Number = 77;  // not printed
  r.Year = 24, r.Month = 3, r.Day = 7, r.Hour = 9, r.Minute = 5, r.Second = 0;
  r.Value0 = 10, r.Value1 = 11, r.Value2 = -12, r.Value3 = 13, r.Value4 = 14;
  r.Value5 = 15, r.Value6 = 16, r.Value7 = 17, r.Value8 = 18, r.Value9 = 19;
  r.Value10 = 20, r.Value11 = 21;
  return r;
}

ReportTotalRecord ReportTotal() {
  ReportTotalRecord r{};
  r.Year = 255, r.Month = 12, r.Day = 31, r.Hour = 23, r.Minute = 59;
  r.Second = 100;
  r.Value1 = 1, r.Value2 = 2, r.Value3 = 3, r.Value4 = 4, r.Value5 = -5;
  return r;
}

BarcodeRecord BarcodeWithAFullText() {
  BarcodeRecord r{};
  std::memset(r.Text1, 'a', sizeof r.Text1);  // no zero byte: runs into Text2
  SetText(r.Text2, "b");
  return r;
}

}  // namespace

TEST(UploadLine, EveryKindHasItsColumnsInOrder) {
  const std::pair<std::string, std::string> cases[] = {
      // The CR LF inside the text is written as two blanks: one record, one line.
      {PluUploadLine(Plu(), CodePage()),
       "65535, -42, 255, Cheese, aged  12 months, 1999, -6, 7, 2147483647, 9\r\n"},
      {BarcodeUploadLine(Barcode(), CodePage()), "3, 1, 0, Milk, 4001234567890\r\n"},
      {IngredientUploadLine(Ingredient(), CodePage()), "20,Flour, salt\r\n"},
      // The status text is not written; a blank stands before the line end.
      {ScrollMsgUploadLine(ScrollMsg(""), CodePage()), "4, , 1 \r\n"},
      {ScrollMsgUploadLine(ScrollMsg("Fresh bread"), CodePage()), "4, Fresh bread, 1 \r\n"},
      // Report lines begin with the time stamp.
      {ReportPluUploadLine(ReportPlu()),
       "2024-03-07 09:05:00, 10, 11, -12, 13,18,19,20,14,15,16,17,21\r\n"},
      {ReportTotalUploadLine(ReportTotal()), "2255-12-31 23:59:100, 1, 4, 2, -5,3\r\n"},
      // A text filling its field ends at the field's end.
      {BarcodeUploadLine(BarcodeWithAFullText(), CodePage()),
       "0, 0, 0, " + std::string(51, 'a') + ", b\r\n"},
  };
  for (const auto& [line, expected] : cases) EXPECT_EQ(line, expected);
}

TEST(UploadLine, AControlCharacterIsWrittenAsABlankAndTheRestInUtf8) {
  const struct {
    const char* codePage;
    std::string text;
    std::string written;
  } cases[] = {
      {"windows-1252", "a\rb", "a b"},
      {"windows-1252", "a\nb", "a b"},
      {"windows-1252", "a\tb", "a b"},
      {"windows-1252", "\x01x\x1F", " x "},
      {"windows-1252", "del\x7F", "del "},
      {"windows-1252", "\\r stays", "\\r stays"},
      {"windows-1252", "caf\xE9 \x80\r", "caf\u00e9 \u20ac "},
      {"ISO-8859-2",
       "\xA3\xF3"
       "d\xBC",
       "\u0141\u00f3d\u017a"},
      // Bytes that the set turns into C1 control characters, U+0080 to U+009F.
      {"ISO-8859-1", "a\x85z\x80\x9F\xA0\xE9", "a z  \u00a0\u00e9"},
      {"ISO-8859-2", "\x8D\xA3", " \u0141"},
      {"UTF-8", "\xC2\x85 \xC2\xA0 \xC3\x85", "  \u00a0 \u00c5"},
      {"none", "caf\xE9 \x80", "caf\xE9 \x80"},
      {"none", "\xC2\x85", "\xC2\x85"},
  };
  for (const auto& c : cases) {
    IngredientRecord ingredient{};
    ingredient.Number = 7;
    SetText(ingredient.Text, c.text);
    EXPECT_EQ(IngredientUploadLine(ingredient, *CodePage::Named(c.codePage)),
              "7," + c.written + "\r\n")
        << c.codePage;
  }
}
