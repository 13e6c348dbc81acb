// The checks that refuse a download file as a whole, family by family: a
// number that does not fit its field, a record number that a read-back of
// the terminal cannot reach, and a control character inside a text.
// Each refusal names the file, the line and the column.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/download_records.h"
#include "tests/support/temp_folder.h"

namespace {

using Strings = std::vector<std::string>;
using Parser = DownloadFileRead (*)(const std::string&, const CodePage&);

struct Refusal {
  Parser parse;
  std::string line;  // the second line of the file; the first is a good record
  std::string error;
};

// A good first line for each parser, so that every refusal is of line 2.
std::string GoodLine(Parser parse) {
  if (parse == ReadPluFile) return "1\t1\t1\tApples\t5\t6\t7\t8\t9";
  if (parse == ReadBarcodeFile) return "1\t2\t3\tApples\t2000001";
  if (parse == ReadIngredientFile) return "1\tFlour";
  return "1\tFresh bread\t1";
}

class DownloadCheck : public ::testing::Test {
 protected:
  void ExpectRefused(const std::vector<Refusal>& cases) {
    for (const Refusal& c : cases) {
      SCOPED_TRACE(c.line);
      folder.Write("Down.txt", GoodLine(c.parse) + "\r\n" + c.line + "\r\n");
      const std::string path = folder.File("Down.txt");
      const DownloadFileRead read = c.parse(path, CodePage());
      EXPECT_EQ(read.records, 0);
      ASSERT_TRUE(read.error);
      EXPECT_EQ(read.error->Describe(path), c.error);
    }
  }
  TempFolder folder;
};

}  // namespace

TEST_F(DownloadCheck, ANumberThatDoesNotFitItsFieldIsRefusedNeverCut) {
  const std::string at = "I/O Error ! (Down.txt, line 2, column ";
  ExpectRefused({
      {ReadPluFile, "65536\t1\t1\tx\t5\t6\t7\t8\t9", at + "1: 65536 does not fit 0 to 65535)"},
      {ReadPluFile, "-1\t1\t1\tx\t5\t6\t7\t8\t9", at + "1: -1 does not fit 0 to 65535)"},
      {ReadPluFile, "1\t1\t300\tx\t5\t6\t7\t8\t9", at + "3: 300 does not fit 0 to 255)"},
      {ReadPluFile, "1\t1\t1\tx\t5\t6\t$10000\t8\t9", at + "7: 65536 does not fit 0 to 65535)"},
      {ReadPluFile, "1\t1\t1\tx\t5\t6\t7\t8\t-1", at + "9: -1 does not fit 0 to 255)"},
      {ReadPluFile, "1\t2147483648\t1\tx\t5\t6\t7\t8\t9",
       at + "2: '2147483648' is not a whole number from -2147483648 to 2147483647)"},
      {ReadBarcodeFile, "2\t256\t3\tPears\t2000002", at + "2: 256 does not fit 0 to 255)"},
      {ReadBarcodeFile, "2\t2\t-3\tPears\t2000002", at + "3: -3 does not fit 0 to 255)"},
      {ReadScrollMsgFile, "2\tHello\t0x100", at + "3: 256 does not fit 0 to 255)"},
  });
}

TEST_F(DownloadCheck, OnlyRecordNumbersAReadBackReachesAreTaken) {
  // A line of each kind with its record number in its own column.
  const struct {
    Parser parse;
    int column;
    std::string before, after;
    bool plu;
  } kinds[] = {
      {ReadPluFile, 2, "1\t", "\t1\tx\t5\t6\t7\t8\t9", true},
      {ReadBarcodeFile, 1, "", "\t2\t3\tPears\t2000002", false},
      {ReadIngredientFile, 1, "", "\tSalt", false},
      {ReadScrollMsgFile, 1, "", "\tHello\t1", false},
  };
  const struct {
    int64_t number;
    bool plu, others;  // taken in a PLU file, in the other kinds' files
  } numbers[] = {{0, false, false},         {-1, false, false},           {1, true, true},
                 {65534, true, true},       {65535, false, false},        {65536, true, false},
                 {2147483647, true, false}, {-2147483648LL, false, false}};
  const std::string at = "I/O Error ! (Down.txt, line 2, column ";
  for (const auto& kind : kinds) {
    for (const auto& n : numbers) {
      const std::string number = std::to_string(n.number);
      SCOPED_TRACE(number + (kind.plu ? " PLU" : " column 1"));
      folder.Write("Down.txt", GoodLine(kind.parse) + "\r\n" + kind.before + number + kind.after);
      const DownloadFileRead read = kind.parse(folder.File("Down.txt"), CodePage());
      if (kind.plu ? n.plu : n.others) {
        EXPECT_EQ(read.records, 2);
        EXPECT_FALSE(read.error);
        continue;
      }
      ASSERT_TRUE(read.error);
      EXPECT_EQ(
          read.error->Describe(folder.File("Down.txt")),
          at + std::to_string(kind.column) + ": " + number +
              (kind.plu ? " is not a PLU number from 1 to 2147483647 other than 65535: a read-back "
                          "of the terminal starts at 1, and an answer numbered 0 or 65535 "
                          "ends it)"
                        : " is not a record number from 1 to 65534: an answer numbered 0 "
                          "or 65535 ends a read-back of the terminal)"));
    }
  }
}

TEST_F(DownloadCheck, AControlCharacterInsideATextIsRefusedWithItsPlace) {
  const std::string at = "Error in input file ! (Down.txt, line 2, column ";
  ExpectRefused({
      {ReadPluFile, "1\t2\t1\tApp\rles\t5\t6\t7\t8\t9",
       at + "4: the text holds the control character CR at character 4)"},
      {ReadPluFile, std::string("1\t2\t1\tA\0B\t5\t6\t7\t8\t9", 19),
       at + "4: the text holds the control character '\\x00' at character 2)"},
      {ReadBarcodeFile, "2\t2\t3\t\x1B[31mRed\t2000002",
       at + "4: the text holds the control character '\\x1B' at character 1)"},
      {ReadBarcodeFile, "2\t2\t3\tPears\t200\x7F",
       at + "5: the text holds the control character '\\x7F' at character 4)"},
      {ReadIngredientFile, "2\tSalt\x0B",
       at + "2: the text holds the control character "
            "'\\x0B' at character 5)"},
      {ReadScrollMsgFile, "2\tHello\rWorld\t1",
       at + "2: the text holds the control character CR at character 6)"},
  });
}
