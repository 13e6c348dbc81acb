#include "records/download_files.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "tests/support/download_records.h"
#include "tests/support/temp_folder.h"

// Packed record fields are compared as int64_t{...} values: gtest would bind
// them to misaligned references.

namespace {

std::string PluLine(int pluNo, const std::string& text = "Item") {
  return "1\t" + std::to_string(pluNo) + "\t1\t" + text + "\t5\t6\t7\t8\t9";
}

using Strings = std::vector<std::string>;
using Reader = DownloadFileRead (*)(const std::string&, const CodePage&);

class DownloadFiles : public ::testing::Test {
 protected:
  // Writes `content` as a file of the folder and returns its path.
  std::string File(const std::string& content, const std::string& name = "Down.txt") {
    folder.Write(name, content);
    return folder.File(name);
  }
  // The records stored; a refusal is kept in `errors` as the error box shows it.
  int Read(Reader read, const std::string& path) {
    last = read(path, CodePage());
    if (last.download) kept = last.download;
    if (last.error) errors.push_back(last.error->Describe(path));
    return last.records;
  }
  // The records of the last file read that was not refused.
  template <class Record>
  Record At(int position) {
    return RecordAt<Record>(*kept, position);
  }
  PluRecord Plu(int position) { return At<PluRecord>(position); }
  int ReadPlu(const std::string& content) { return Read(ReadPluFile, File(content)); }

  TempFolder folder;
  Strings errors;
  DownloadFileRead last;
  std::shared_ptr<const CheckedDownload> kept;
};

}  // namespace

// --- the common parse loop ---

TEST_F(DownloadFiles, EmptyOrCommentOnlyFilesAreRefusedAsHoldingNoRecords) {
  EXPECT_EQ(ReadPlu(""), 0);
  EXPECT_EQ(ReadPlu("; header\r\n\r\n;\n\n"), 0);
  const std::string noRecords = "Error in input file ! (Down.txt: the file holds no records)";
  EXPECT_EQ(errors, (Strings{noRecords, noRecords}));
}

TEST_F(DownloadFiles, StoresDataLinesFromPositionOneInFileOrder) {
  // Mixed line ends, columns beyond the kind's, and a Ctrl-Z as the last byte.
  EXPECT_EQ(ReadPlu("; comment\r\n" + PluLine(11) + "\r\n\r\n" + PluLine(12) + "\textra\n" +
                    PluLine(13) + "\x1A"),
            3);
  EXPECT_EQ(int64_t{Plu(1).PluNo}, 11);
  EXPECT_EQ(int64_t{Plu(2).PluNo}, 12);
  EXPECT_EQ(int64_t{Plu(3).PluNo}, 13);
  EXPECT_EQ(errors, Strings{});
}

TEST_F(DownloadFiles, EachReadIsAValueOfItsOwnThatALaterReadLeavesAlone) {
  ASSERT_EQ(ReadPlu(PluLine(1) + "\n" + PluLine(2) + "\n" + PluLine(3) + "\n"), 3);
  const auto first = last.download;
  ASSERT_EQ(ReadPlu(PluLine(7) + "\n"), 1);
  EXPECT_EQ(int64_t{Plu(1).PluNo}, 7);
  EXPECT_EQ(last.download->Records().size(), 1u);
  EXPECT_EQ(int64_t{RecordAt<PluRecord>(*first, 1).PluNo}, 1);
  EXPECT_EQ(int64_t{RecordAt<PluRecord>(*first, 3).PluNo}, 3);
}

TEST_F(DownloadFiles, AFileThatCannotBeOpenedOrReadIsAnIoError) {
  EXPECT_EQ(Read(ReadPluFile, folder.File("missing.txt")), 0);
  EXPECT_EQ(Read(ReadBarcodeFile, folder.path()), 0);
  EXPECT_EQ(Read(ReadSpeedkeyFile, folder.File("missing.txt")), 0);
  EXPECT_EQ(Read(ReadSpeedkeyFile, folder.path()), 0);
  const std::string missing =
      "I/O Error ! (missing.txt: the file cannot be opened: No such file "
      "or directory)";
  const std::string notAFile = "I/O Error ! (" +
                               std::filesystem::path(folder.path()).filename().string() +
                               ": a folder, not a file)";
  EXPECT_EQ(errors, (Strings{missing, notAFile, missing, notAFile}));
}

// --- numbers ---

TEST_F(DownloadFiles, NumbersConvertAsWholeNumbersAndFillTheirFieldsExactly) {
  ASSERT_EQ(ReadPlu("65535\t  12\t255\tx\t-2147483648\t$7FFFFFFF\t0x10\t-8\t0\n"), 1);
  const PluRecord r = Plu(1);
  EXPECT_EQ(int64_t{r.Field1}, 65535);
  EXPECT_EQ(int64_t{r.PluNo}, 12);
  EXPECT_EQ(int64_t{r.Field3}, 255);
  EXPECT_EQ(int64_t{r.Field5}, INT32_MIN);
  EXPECT_EQ(int64_t{r.Field6}, INT32_MAX);
  EXPECT_EQ(int64_t{r.Field7}, 16);
  EXPECT_EQ(int64_t{r.Field8}, -8);
  EXPECT_EQ(int64_t{r.Field9}, 0);
  EXPECT_EQ(errors, Strings{});
}

TEST_F(DownloadFiles, ANumberThatDoesNotConvertRefusesTheWholeFile) {
  EXPECT_EQ(ReadPlu(PluLine(1) + "\n" + PluLine(2) + "\n1\t12 \t1\tx\t5\t6\t7\t8\t9\n" +
                    PluLine(4) + "\n"),
            0);
  EXPECT_EQ(errors, Strings{"I/O Error ! (Down.txt, line 3, column 2: '12 ' is not a whole number "
                            "from -2147483648 to 2147483647)"});
}

// --- missing columns, kind by kind ---

TEST_F(DownloadFiles, PluLineWithEightColumnsFailsOnTheEmptyNinth) {
  EXPECT_EQ(ReadPlu(PluLine(1) + "\n1\t2\t1\tx\t5\t6\t7\t8\n"), 0);
  EXPECT_EQ(errors, Strings{"I/O Error ! (Down.txt, line 2, column 9: the column is empty, a "
                            "number is needed)"});
}

TEST_F(DownloadFiles, PluLineWithThreeColumnsLacksColumnFive) {
  // Column 4 lies one past the last field and comes back empty; column 5 is missing.
  EXPECT_EQ(ReadPlu(PluLine(1) + "\n1\t2\t3\n"), 0);
  EXPECT_EQ(errors, Strings{"Error in input file ! (Down.txt, line 2, column 5: the line has only "
                            "3 columns)"});
}

TEST_F(DownloadFiles, BarcodeLineWithFourColumnsHasAnEmptySecondText) {
  ASSERT_EQ(Read(ReadBarcodeFile, File("3\t1\t0\tName\n")), 1);
  const BarcodeRecord barcode = At<BarcodeRecord>(1);
  EXPECT_STREQ(barcode.Text1, "Name");
  EXPECT_STREQ(barcode.Text2, "");
  EXPECT_EQ(Read(ReadBarcodeFile, File("3\t1\t0\n")), 0);  // column 5 missing
  EXPECT_EQ(errors, Strings{"Error in input file ! (Down.txt, line 1, column 5: the line has only "
                            "3 columns)"});
}

TEST_F(DownloadFiles, IngredientLineWithOnlyANumberHasAnEmptyText) {
  ASSERT_EQ(Read(ReadIngredientFile, File("42\r\n")), 1);
  const IngredientRecord ingredient = At<IngredientRecord>(1);
  EXPECT_EQ(int64_t{ingredient.Number}, 42);
  EXPECT_STREQ(ingredient.Text, "");
  EXPECT_EQ(errors, Strings{});
}

TEST_F(DownloadFiles, ScrollMsgLineWithTwoColumnsFailsItsNumberAndWithOneLacksAColumn) {
  EXPECT_EQ(Read(ReadScrollMsgFile, File("1\tHello\t2\n2\tHello\n")), 0);
  EXPECT_EQ(Read(ReadScrollMsgFile, File("1\tHello\t2\n2\n")), 0);
  EXPECT_EQ(errors,
            (Strings{"I/O Error ! (Down.txt, line 2, column 3: the column is empty, a number is "
                     "needed)",
                     "Error in input file ! (Down.txt, line 2, column 3: the line has only 1 "
                     "column)"}));
}

// --- speedkey: the first line only ---

std::string SpeedkeyLine(int columns) {
  std::string line;
  for (int c = 1; c <= columns; ++c) line += (c > 1 ? "\t" : "") + std::to_string(c);
  return line;
}

TEST_F(DownloadFiles, SpeedkeyReadsTheFirstLineOnly) {
  ASSERT_EQ(Read(ReadSpeedkeyFile, File(SpeedkeyLine(144) + "\r\nnot\ta\tspeedkey\tline\n")), 1);
  const SpeedkeyRecord SpeedkeyData = At<SpeedkeyRecord>(1);
  EXPECT_EQ(int64_t{SpeedkeyData.Number}, 1);
  EXPECT_EQ(int64_t{SpeedkeyData.KeyTable1[0]}, 1);
  EXPECT_EQ(int64_t{SpeedkeyData.KeyTable1[71]}, 72);
  EXPECT_EQ(int64_t{SpeedkeyData.KeyTable2[0]}, 73);
  EXPECT_EQ(int64_t{SpeedkeyData.KeyTable2[71]}, 144);
  EXPECT_EQ(errors, Strings{});
}

TEST_F(DownloadFiles, SpeedkeyFailuresKeepTheEarlierRecord) {
  ASSERT_EQ(Read(ReadSpeedkeyFile, File(SpeedkeyLine(144))), 1);
  const auto before = last.download;
  EXPECT_EQ(Read(ReadSpeedkeyFile, File(SpeedkeyLine(143))), 0);        // empty 144th
  EXPECT_EQ(Read(ReadSpeedkeyFile, File(";" + SpeedkeyLine(144))), 0);  // no comment rule
  EXPECT_EQ(errors,
            (Strings{"I/O Error ! (Down.txt, line 1, column 144: the column is empty, a number is "
                     "needed)",
                     "I/O Error ! (Down.txt, line 1, column 1: ';1' is not a whole number from "
                     "-2147483648 to 2147483647)"}));
  // A refused file is no value: the one read before stands as it was.
  EXPECT_FALSE(last.download);
  EXPECT_EQ(int64_t{RecordAt<SpeedkeyRecord>(*before, 1).KeyTable2[71]}, 144);
}

TEST_F(DownloadFiles, SpeedkeyFileWithAnEmptyFirstLineIsRefused) {
  EXPECT_EQ(Read(ReadSpeedkeyFile, File("\r\n" + SpeedkeyLine(144) + "\r\n")), 0);
  EXPECT_EQ(Read(ReadSpeedkeyFile, File("")), 0);
  const std::string empty =
      "Error in input file ! (Down.txt, line 1: the first line is empty, it holds no record)";
  EXPECT_EQ(errors, (Strings{empty, empty}));
}

// --- what the tables and fields cannot hold ---

TEST_F(DownloadFiles, StopsAtTheTableCapacityNamingTheFirstLineLeftOut) {
  std::string content = "; a full table\n";
  for (int i = 1; i <= kDownloadCapacity; ++i) content += PluLine(i) + "\n";
  EXPECT_EQ(ReadPlu(content + "; comment lines after it are no error\n\n"), kDownloadCapacity);
  EXPECT_EQ(errors, Strings{});

  EXPECT_EQ(ReadPlu(content + PluLine(0) + "\n" + PluLine(0) + "\n"), 0);
  EXPECT_EQ(int64_t{Plu(kDownloadCapacity).PluNo}, kDownloadCapacity);
  EXPECT_EQ(errors, Strings{"More than 3334 records in input file: line 3336 and those after it "
                            "are not read ! (Down.txt, line 3336: a file holds at most 3334 "
                            "records)"});
}

TEST_F(DownloadFiles, ATextThatFillsItsFieldIsStoredWithItsZero) {
  ASSERT_EQ(ReadPlu(PluLine(1, std::string(427, 'A'))), 1);
  const PluRecord r = Plu(1);
  EXPECT_EQ(std::string(r.Text), std::string(427, 'A'));
  EXPECT_EQ(int64_t{r.Field6}, 6);  // the field right after the text is untouched
  EXPECT_EQ(errors, Strings{});
}

TEST_F(DownloadFiles, ATextTooLongForItsFieldRefusesTheLineNamingIt) {
  const int stored =
      ReadPlu(PluLine(1) + "\n;\n" + PluLine(2, std::string(428, 'A')) + "\n" + PluLine(3) + "\n");
  EXPECT_EQ(stored, 0);
  EXPECT_EQ(errors, Strings{"Text too long in line 3, column 4: 428 characters, at most 427 fit ! "
                            "(Down.txt, line 3, column 4)"});
  EXPECT_EQ(Read(ReadBarcodeFile, File("1\t1\t1\t" + std::string(51, 'b') + "\tx\n")), 0);
  EXPECT_EQ(Read(ReadBarcodeFile, File("1\t1\t1\tx\t" + std::string(101, 'b') + "\n")), 0);
  EXPECT_EQ(Read(ReadIngredientFile, File("1\t" + std::string(1025, 'i') + "\n")), 0);
  EXPECT_EQ(Read(ReadScrollMsgFile, File("1\t" + std::string(115, 's') + "\t1\n")), 0);
  EXPECT_EQ(
      errors,
      (Strings{errors[0],
               "Text too long in line 1, column 4: 51 characters, at most 50 fit ! (Down.txt, "
               "line 1, column 4)",
               "Text too long in line 1, column 5: 101 characters, at most 100 fit ! (Down.txt, "
               "line 1, column 5)",
               "Text too long in line 1, column 2: 1025 characters, at most 1024 fit ! (Down.txt, "
               "line 1, column 2)",
               "Text too long in line 1, column 2: 115 characters, at most 114 fit ! (Down.txt, "
               "line 1, column 2)"}));
}

TEST_F(DownloadFiles, LinesLongerThanSixteenBitPositionsAreHandled) {
  // The long part lies in an ignored column; then one in the text column.
  EXPECT_EQ(ReadPlu(PluLine(1) + "\t" + std::string(70000, 'x') + "\n" + PluLine(2) + "\n"), 2);
  EXPECT_EQ(errors, Strings{});
  EXPECT_EQ(ReadPlu(PluLine(1, std::string(70000, 'x')) + "\n"), 0);
  EXPECT_EQ(errors, Strings{"Text too long in line 1, column 4: 70000 characters, at most 427 fit "
                            "! (Down.txt, line 1, column 4)"});
}
