// The comparison of a file's records with a terminal's, one table per kind
// family: each case changes the same records on one side and expects the
// counts and the difference texts that change gives.
#include "records/record_compare.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "records/record_tables.h"

namespace {

template <std::size_t N>
void SetText(char (&field)[N], const std::string& text) {
  std::memset(field, 0, N);
  std::memcpy(field, text.data(), text.size());
}

// The same text with something left behind its zero.
template <std::size_t N>
void LeaveRest(char (&field)[N]) {
  const std::size_t end = strnlen(field, N);
  std::memset(field + end + 1, 'x', N - end - 1);
}

struct Expected {
  int same, different, missing, extra;
  std::vector<std::string> differences;
};

template <class Record>
struct Case {
  const char* name;
  void (*change)(std::vector<Record>& file, std::vector<Record>& terminal);
  Expected expected;
};

template <class Record>
std::vector<std::vector<uint8_t>> Answered(const std::vector<Record>& records) {
  std::vector<std::vector<uint8_t>> answered;
  for (const Record& record : records) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(&record);
    answered.emplace_back(bytes, bytes + sizeof record);
  }
  return answered;
}

// Runs every case on `base` on both sides; `store` puts the file's records
// where the readers would.
template <class Record>
void Check(uint8_t code, const std::vector<Record>& base, const std::vector<Case<Record>>& cases,
           void (*store)(const std::vector<Record>&)) {
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<Record> file = base;
    std::vector<Record> terminal = base;
    c.change(file, terminal);
    store(file);
    const RecordComparison result =
        CompareWithFile(code, static_cast<int>(file.size()), Answered(terminal));
    EXPECT_EQ(result.same, c.expected.same);
    EXPECT_EQ(result.different, c.expected.different);
    EXPECT_EQ(result.missing, c.expected.missing);
    EXPECT_EQ(result.extra, c.expected.extra);
    EXPECT_EQ(result.differences, c.expected.differences);
    EXPECT_EQ(result.Matches(), c.expected.differences.empty());
  }
}

template <class Record>
void Tabled(RecordTable<Record>& table, const std::vector<Record>& file) {
  for (std::size_t i = 0; i < file.size(); ++i) table.At(static_cast<int>(i) + 1) = file[i];
}

PluRecord Plu(int32_t number, const char* name, int32_t price) {
  PluRecord r{};
  r.Field1 = 1;
  r.PluNo = number;
  r.Field3 = 1;
  SetText(r.Text, name);
  r.Field5 = price;
  r.Field6 = 20000 + number;
  r.Field7 = 7;
  r.Field8 = 5;
  r.Field9 = 1;
  return r;
}

using Plus = std::vector<PluRecord>;

TEST(RecordCompare, PluRecordsByPluNumberOnEveryDownloadedField) {
  const Plus base = {Plu(101, "Apples", 249), Plu(102, "Bananas", 199), Plu(103, "Pears", 229)};
  const std::vector<Case<PluRecord>> cases = {
      {"the same", [](Plus&, Plus&) {}, {3, 0, 0, 0, {}}},
      {"price",
       [](Plus&, Plus& t) { t[1].Field5 = 189; },
       {2, 1, 0, 0, {"PLU 102 price: 199 in the file, 189 on the terminal"}}},
      {"every other field",
       [](Plus&, Plus& t) {
         t[0].Field1 = 2;
         t[0].Field3 = 0;
         SetText(t[0].Text, "Apple");
         t[0].Field6 = -1;
         t[0].Field7 = 8;
         t[0].Field8 = 0;
         t[0].Field9 = 255;
       },
       {2,
        1,
        0,
        0,
        {"PLU 101 dept: 1 in the file, 2 on the terminal",
         "PLU 101 unit: 1 in the file, 0 on the terminal",
         "PLU 101 name: \"Apples\" in the file, \"Apple\" on the terminal",
         "PLU 101 item code: 20101 in the file, -1 on the terminal",
         "PLU 101 shelf days: 7 in the file, 8 on the terminal",
         "PLU 101 tare: 5 in the file, 0 on the terminal",
         "PLU 101 group: 1 in the file, 255 on the terminal"}}},
      {"missing and extra",
       [](Plus&, Plus& t) {
         t.erase(t.begin() + 2);
         t.insert(t.begin(), Plu(900, "Plums", 1));
       },
       {2, 0, 1, 1, {"PLU 103: missing on the terminal", "PLU 900: only on the terminal"}}},
      {"a negative PLU number",
       [](Plus& f, Plus&) { f.push_back(Plu(-5, "Odd", 1)); },
       {3, 0, 1, 0, {"PLU -5: missing on the terminal"}}},
      {"text past its zero", [](Plus&, Plus& t) { LeaveRest(t[0].Text); }, {3, 0, 0, 0, {}}},
      {"unused bytes",
       [](Plus&, Plus& t) {
         std::memset(t[1].Unused1, 0xAA, sizeof t[1].Unused1);
         std::memset(t[1].Unused2, 0xAA, sizeof t[1].Unused2);
         std::memset(t[1].Unused3, 0xAA, sizeof t[1].Unused3);
         std::memset(t[1].Unused4, 0xAA, sizeof t[1].Unused4);
       },
       {3, 0, 0, 0, {}}},
      {"a number twice in the file: the last line wins",
       [](Plus& f, Plus& t) {
         f.push_back(Plu(102, "Bananas", 189));
         t[1].Field5 = 189;
       },
       {3, 0, 0, 0, {}}},
  };
  Check<PluRecord>(kCodePlu, base, cases, [](const Plus& f) { Tabled(PluTable, f); });
}

BarcodeRecord Barcode(uint16_t number, const char* name, const char* code) {
  BarcodeRecord r{};
  r.Number = number;
  r.Field2 = 1;
  SetText(r.Text1, name);
  SetText(r.Text2, code);
  return r;
}

IngredientRecord Ingredient(uint16_t number, const char* text) {
  IngredientRecord r{};
  r.Number = number;
  SetText(r.Text, text);
  return r;
}

ScrollMsgRecord ScrollMsg(uint16_t number, const char* text, uint8_t speed) {
  ScrollMsgRecord r{};
  r.Number = number;
  SetText(r.Text2, text);
  r.Field3 = speed;
  return r;
}

using Barcodes = std::vector<BarcodeRecord>;
using Ingredients = std::vector<IngredientRecord>;
using ScrollMsgs = std::vector<ScrollMsgRecord>;

TEST(RecordCompare, NumberedTextKindsByNumber) {
  const Barcodes barcodes = {Barcode(7, "Pears", "200000300229"), Barcode(8, "Figs", "2")};
  Check<BarcodeRecord>(
      kCodeBarcode, barcodes,
      {{"the same", [](Barcodes&, Barcodes&) {}, {2, 0, 0, 0, {}}},
       {"every field",
        [](Barcodes&, Barcodes& t) {
          t[0].Field2 = 2;
          t[0].Field3 = 1;
          SetText(t[0].Text1, "Pear");
          SetText(t[0].Text2, "");
        },
        {1,
         1,
         0,
         0,
         {"Barcode 7 format: 1 in the file, 2 on the terminal",
          "Barcode 7 flag: 0 in the file, 1 on the terminal",
          "Barcode 7 name: \"Pears\" in the file, \"Pear\" on the terminal",
          "Barcode 7 barcode text: \"200000300229\" in the file, \"\" on the terminal"}}},
       {"missing",
        [](Barcodes&, Barcodes& t) { t.pop_back(); },
        {1, 0, 1, 0, {"Barcode 8: missing on the terminal"}}},
       {"texts past their zero",
        [](Barcodes&, Barcodes& t) {
          LeaveRest(t[1].Text1);
          LeaveRest(t[1].Text2);
        },
        {2, 0, 0, 0, {}}}},
      [](const Barcodes& f) { Tabled(BarcodeTable, f); });

  const Ingredients ingredients = {Ingredient(1, "Milk, salt."), Ingredient(2, "Apples.")};
  Check<IngredientRecord>(
      kCodeIngredient, ingredients,
      {{"text",
        [](Ingredients&, Ingredients& t) { SetText(t[1].Text, "Apple."); },
        {1, 1, 0, 0, {"Ingredient 2 text: \"Apples.\" in the file, \"Apple.\" on the terminal"}}},
       {"extra",
        [](Ingredients&, Ingredients& t) { t.push_back(Ingredient(3, "")); },
        {2, 0, 0, 1, {"Ingredient 3: only on the terminal"}}},
       {"text past its zero",
        [](Ingredients&, Ingredients& t) { LeaveRest(t[0].Text); },
        {2, 0, 0, 0, {}}}},
      [](const Ingredients& f) { Tabled(IngredientTable, f); });

  const ScrollMsgs messages = {ScrollMsg(1, "Welcome!", 1), ScrollMsg(2, "Fresh fish", 2)};
  Check<ScrollMsgRecord>(
      kCodeScrollMsg, messages,
      {{"message and speed",
        [](ScrollMsgs&, ScrollMsgs& t) {
          SetText(t[0].Text2, "Welcome");
          t[0].Field3 = 3;
        },
        {1,
         1,
         0,
         0,
         {"Scroll message 1 message: \"Welcome!\" in the file, \"Welcome\" on the terminal",
          "Scroll message 1 speed: 1 in the file, 3 on the terminal"}}},
       {"the status text and unused bytes no download writes",
        [](ScrollMsgs&, ScrollMsgs& t) {
          SetText(t[0].Text1, "OK: 00 Stored");
          t[0].Unused1[0] = 9;
          std::memset(t[1].Unused2, 9, sizeof t[1].Unused2);
        },
        {2, 0, 0, 0, {}}}},
      [](const ScrollMsgs& f) { Tabled(ScrollMsgTable, f); });
}

SpeedkeyRecord Speedkey() {
  SpeedkeyRecord r{};
  r.Number = 1;
  for (int i = 0; i < 72; ++i) r.KeyTable1[i] = i + 1;
  for (int i = 0; i < 72; ++i) r.KeyTable2[i] = 100 + i;
  return r;
}

using Speedkeys = std::vector<SpeedkeyRecord>;

TEST(RecordCompare, TheSpeedkeyRecordOnItsFirstKeysOfEachTable) {
  Check<SpeedkeyRecord>(kCodeSpeedkey, {Speedkey()},
                        {{"the same, whatever number the terminal gives it",
                          [](Speedkeys&, Speedkeys& t) { t[0].Number = 0; },
                          {1, 0, 0, 0, {}}},
                         {"a key of each table",
                          [](Speedkeys&, Speedkeys& t) {
                            t[0].KeyTable1[4] = 0;
                            t[0].KeyTable2[71] = -1;
                          },
                          {0,
                           1,
                           0,
                           0,
                           {"Speedkey key 5 of table 1: 5 in the file, 0 on the terminal",
                            "Speedkey key 72 of table 2: 171 in the file, -1 on the terminal"}}},
                         {"keys past the downloaded ones and the text",
                          [](Speedkeys&, Speedkeys& t) {
                            t[0].KeyTable1[72] = 9;
                            t[0].KeyTable2[99] = 9;
                            SetText(t[0].Text, "OK");
                          },
                          {1, 0, 0, 0, {}}},
                         {"none on the terminal",
                          [](Speedkeys&, Speedkeys& t) { t.clear(); },
                          {0, 0, 1, 0, {"Speedkey: missing on the terminal"}}}},
                        [](const Speedkeys& f) { SpeedkeyData = f.front(); });
}

TEST(RecordCompare, ListsTheFirstDifferencesShowingTextsThroughTheDisplay) {
  Tabled(BarcodeTable, {Barcode(1, "a", "1"), Barcode(2, "b", "2"), Barcode(3, "c", "3")});
  std::vector<BarcodeRecord> terminal = {Barcode(1, "A", "1"), Barcode(2, "B", "2"),
                                         Barcode(3, "C", "3")};
  // A short answer reads as zeros past its end.
  std::vector<std::vector<uint8_t>> answered = Answered(terminal);
  answered[2].resize(5);
  CompareOptions options;
  options.listed = 2;
  options.display = [](std::string_view text) { return "<" + std::string(text) + ">"; };
  const RecordComparison result = CompareWithFile(kCodeBarcode, 3, answered, options);
  EXPECT_EQ(result.different, 3);
  EXPECT_EQ(
      result.differences,
      (std::vector<std::string>{"Barcode 1 name: \"<a>\" in the file, \"<A>\" on the terminal",
                                "Barcode 2 name: \"<b>\" in the file, \"<B>\" on the terminal"}));
  EXPECT_EQ(result.unlisted, 2);  // 3's name, and its barcode text cut off
}

}  // namespace
