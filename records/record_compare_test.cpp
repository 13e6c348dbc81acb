// The comparison of a file's records with a terminal's, one table per kind
// family: the file is read by its reader, the terminal answers the records
// the file stored, changed by each case, and each case expects its counts
// and difference texts.
#include "records/record_compare.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "records/verify_lines.h"
#include "tests/support/download_records.h"
#include "tests/support/temp_folder.h"
#include "text/code_page.h"

namespace {

template <std::size_t N>
void SetText(char (&field)[N], const char* text) {
  std::memset(field, 0, N);
  std::strncpy(field, text, N - 1);
}

// The same text with something left behind its zero.
template <std::size_t N>
void LeaveRest(char (&field)[N]) {
  const std::size_t end = strnlen(field, N);
  std::memset(field + end + 1, 'x', N - end - 1);
}

template <class Record>
struct Case {
  const char* name;
  void (*change)(std::vector<Record>& terminal);
  const char* counts;  // as the log shows them
  std::vector<std::string> differences;
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

// The records of a checked download, as their layout.
template <class Record>
std::vector<Record> RecordsOf(const CheckedDownload& file) {
  std::vector<Record> records;
  for (int i = 1; i <= static_cast<int>(file.Records().size()); ++i) {
    records.push_back(RecordAt<Record>(file, i));
  }
  return records;
}

// Reads `content` as the kind's download file; the terminal starts from the
// records the file holds.
template <class Record>
void Check(uint8_t code, const std::string& content, const std::vector<Case<Record>>& cases) {
  TempFolder folder;
  folder.Write("Down.txt", content);
  const DownloadFileRead read = ReadKindFile(code, folder.File("Down.txt"), CodePage());
  ASSERT_GT(read.records, 0);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<Record> terminal = RecordsOf<Record>(*read.download);
    c.change(terminal);
    const RecordComparison result = CompareWithFile(*read.download, Answered(terminal));
    EXPECT_EQ(ComparisonCountsText(result), c.counts);
    EXPECT_EQ(result.differences, c.differences);
    EXPECT_EQ(result.Matches(), c.differences.empty());
  }
}

using Plus = std::vector<PluRecord>;

TEST(RecordCompare, PluRecordsByPluNumberOnEveryDownloadedField) {
  // PLU 102 twice: its last line is the one a terminal keeps.
  const std::string file =
      "; dept, PLU no, unit, name, price, item code, shelf days, tare, group\n"
      "1\t101\t1\tApples\t249\t20101\t7\t5\t1\n"
      "1\t102\t1\tBananas\t100\t20102\t7\t5\t1\n"
      "1\t102\t1\tBananas\t199\t20102\t7\t5\t1\n"
      "1\t103\t1\tPears\t229\t20103\t7\t5\t1\n";
  Check<PluRecord>(kCodePlu, file,
                   {{"the same", [](Plus&) {}, "3 same", {}},
                    {"the later line's price",
                     [](Plus& t) { t[2].Field5 = 189; },
                     "2 same, 1 different",
                     {"PLU 102 price: 199 in the file, 189 on the terminal"}},
                    {"every other field",
                     [](Plus& t) {
                       t[0].Field1 = 2;
                       t[0].Field3 = 0;
                       SetText(t[0].Text, "Apple");
                       t[0].Field6 = -1;
                       t[0].Field7 = 8;
                       t[0].Field8 = 0;
                       t[0].Field9 = 255;
                     },
                     "2 same, 1 different",
                     {"PLU 101 dept: 1 in the file, 2 on the terminal",
                      "PLU 101 unit: 1 in the file, 0 on the terminal",
                      "PLU 101 name: \"Apples\" in the file, \"Apple\" on the terminal",
                      "PLU 101 item code: 20101 in the file, -1 on the terminal",
                      "PLU 101 shelf days: 7 in the file, 8 on the terminal",
                      "PLU 101 tare: 5 in the file, 0 on the terminal",
                      "PLU 101 group: 1 in the file, 255 on the terminal"}},
                    {"missing and extra, in number order",
                     [](Plus& t) {
                       t[3].PluNo = 900;
                       t[0].PluNo = -7;
                     },
                     "1 same, 2 missing, 2 only on the terminal",
                     {"PLU -7: only on the terminal", "PLU 101: missing on the terminal",
                      "PLU 103: missing on the terminal", "PLU 900: only on the terminal"}},
                    {"text past its zero and unused bytes",
                     [](Plus& t) {
                       LeaveRest(t[0].Text);
                       std::memset(t[1].Unused1, 0xAA, sizeof t[1].Unused1);
                       std::memset(t[1].Unused2, 0xAA, sizeof t[1].Unused2);
                       std::memset(t[1].Unused3, 0xAA, sizeof t[1].Unused3);
                       std::memset(t[1].Unused4, 0xAA, sizeof t[1].Unused4);
                     },
                     "3 same",
                     {}}});
}

using Barcodes = std::vector<BarcodeRecord>;
using Ingredients = std::vector<IngredientRecord>;
using ScrollMsgs = std::vector<ScrollMsgRecord>;

TEST(RecordCompare, NumberedTextKindsByNumber) {
  Check<BarcodeRecord>(
      kCodeBarcode, "7\t1\t0\tPears\t200000300229\n8\t1\t0\tFigs\t2\n",
      {{"every field",
        [](Barcodes& t) {
          t[0].Field2 = 2;
          t[0].Field3 = 1;
          SetText(t[0].Text1, "Pear");
          SetText(t[0].Text2, "");
        },
        "1 same, 1 different",
        {"Barcode 7 format: 1 in the file, 2 on the terminal",
         "Barcode 7 flag: 0 in the file, 1 on the terminal",
         "Barcode 7 name: \"Pears\" in the file, \"Pear\" on the terminal",
         "Barcode 7 barcode text: \"200000300229\" in the file, \"\" on the terminal"}},
       {"missing",
        [](Barcodes& t) { t.pop_back(); },
        "1 same, 1 missing",
        {"Barcode 8: missing on the terminal"}},
       {"texts past their zero",
        [](Barcodes& t) {
          LeaveRest(t[1].Text1);
          LeaveRest(t[1].Text2);
        },
        "2 same",
        {}}});
  Check<IngredientRecord>(
      kCodeIngredient, "1\tMilk, salt.\n2\tApples.\n",
      {{"text",
        [](Ingredients& t) { SetText(t[1].Text, "Apple."); },
        "1 same, 1 different",
        {"Ingredient 2 text: \"Apples.\" in the file, \"Apple.\" on the terminal"}},
       {"extra",
        [](Ingredients& t) {
          t.push_back(IngredientRecord{3, {}});
        },
        "2 same, 1 only on the terminal",
        {"Ingredient 3: only on the terminal"}},
       {"text past its zero", [](Ingredients& t) { LeaveRest(t[0].Text); }, "2 same", {}}});
  Check<ScrollMsgRecord>(
      kCodeScrollMsg, "1\tWelcome!\t1\n2\tFresh fish\t2\n",
      {{"message and speed",
        [](ScrollMsgs& t) {
          SetText(t[0].Text2, "Welcome");
          t[0].Field3 = 3;
        },
        "1 same, 1 different",
        {"Scroll message 1 message: \"Welcome!\" in the file, \"Welcome\" on the terminal",
         "Scroll message 1 speed: 1 in the file, 3 on the terminal"}},
       {"the status text and unused bytes no download writes",
        [](ScrollMsgs& t) {
          SetText(t[0].Text1, "OK: 00 Stored");
          t[0].Unused1[0] = 9;
          std::memset(t[1].Unused2, 9, sizeof t[1].Unused2);
        },
        "2 same",
        {}}});
}

using Speedkeys = std::vector<SpeedkeyRecord>;

TEST(RecordCompare, TheSpeedkeyRecordOnTheDownloadedKeysOfEachTable) {
  std::string keys;
  for (int i = 1; i <= 144; ++i) keys += std::to_string(i) + (i < 144 ? "\t" : "\n");
  Check<SpeedkeyRecord>(kCodeSpeedkey, keys,
                        {{"the same, whatever number the terminal gives it",
                          [](Speedkeys& t) { t[0].Number = 0; },
                          "1 same",
                          {}},
                         {"a key of each table",
                          [](Speedkeys& t) {
                            t[0].KeyTable1[4] = 0;
                            t[0].KeyTable2[71] = -1;
                          },
                          "0 same, 1 different",
                          {"Speedkey key 5 of table 1: 5 in the file, 0 on the terminal",
                           "Speedkey key 72 of table 2: 144 in the file, -1 on the terminal"}},
                         {"keys past the downloaded ones and the text",
                          [](Speedkeys& t) {
                            t[0].KeyTable1[72] = 9;
                            t[0].KeyTable2[99] = 9;
                            SetText(t[0].Text, "OK");
                          },
                          "1 same",
                          {}},
                         {"none on the terminal",
                          [](Speedkeys& t) { t.clear(); },
                          "0 same, 1 missing",
                          {"Speedkey: missing on the terminal"}}});
}

TEST(RecordCompare, AReadBackThatIsNoProofLeavesTheFileRecordsBeyondItUnseen) {
  TempFolder folder;
  folder.Write("Down.txt", "1\ta\n2\tb\n3\tc\n4\td\n");
  const DownloadFileRead read = ReadIngredientFile(folder.File("Down.txt"), CodePage());
  ASSERT_EQ(read.records, 4);
  const std::vector<IngredientRecord> file = RecordsOf<IngredientRecord>(*read.download);
  const struct {
    const char* name;
    std::vector<IngredientRecord> terminal;
    std::string unproven;
    const char* counts;
  } cases[] = {
      {"read to the end", {file[0], file[2]}, "", "2 same, 2 missing"},
      {"ended after 3", {file[0], file[2]}, "ended", "2 same, 1 missing, 1 not seen"},
      {"ended before any", {}, "ended", "0 same, 4 not seen"},
      {"an extra one past the file",
       {file[0], file[1], file[2], file[3], {9, "x"}},
       "ended",
       "4 same, 1 only on the terminal"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CompareOptions options;
    options.unproven = c.unproven;
    const RecordComparison result = CompareWithFile(*read.download, Answered(c.terminal), options);
    EXPECT_EQ(ComparisonCountsText(result), c.counts);
    EXPECT_EQ(result.unproven, c.unproven);
    EXPECT_EQ(result.Matches(), false);
  }
}

TEST(RecordCompare, ListsTheFirstDifferencesShowingTextsThroughTheDisplay) {
  TempFolder folder;
  folder.Write("Down.txt", "1\t1\t0\ta\t1\n2\t1\t0\tb\t2\n3\t1\t0\tc\t3\n");
  const DownloadFileRead read = ReadBarcodeFile(folder.File("Down.txt"), CodePage());
  ASSERT_EQ(read.records, 3);
  std::vector<BarcodeRecord> terminal = RecordsOf<BarcodeRecord>(*read.download);
  for (auto& record : terminal) record.Text1[0] = static_cast<char>(std::toupper(record.Text1[0]));
  // A short answer reads as zeros past its end: 3's barcode text is cut off.
  std::vector<std::vector<uint8_t>> answered = Answered(terminal);
  answered[2].resize(5);
  CompareOptions options;
  options.listed = 2;
  options.display = [](std::string_view text) { return "<" + std::string(text) + ">"; };
  const RecordComparison result = CompareWithFile(*read.download, answered, options);
  EXPECT_EQ(result.different, 3);
  EXPECT_EQ(
      result.differences,
      (std::vector<std::string>{"Barcode 1 name: \"<a>\" in the file, \"<A>\" on the terminal",
                                "Barcode 2 name: \"<b>\" in the file, \"<B>\" on the terminal"}));
  EXPECT_EQ(result.unlisted, 2);  // 3's name and barcode text
  // Every difference is kept as a value, the listed ones first; the texts shown unquoted.
  std::vector<std::string> found;
  for (const RecordDifference& d : result.found) {
    found.push_back(std::to_string(d.number) + " " + d.column->name + " " + d.inFile + " " +
                    d.onTerminal);
  }
  EXPECT_EQ(found, (std::vector<std::string>{"1 name <a> <A>", "2 name <b> <B>", "3 name <c> <C>",
                                             "3 barcode text <3> <>"}));
}

}  // namespace
