#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/program_fixture.h"

// Packed record fields are compared as int64_t{...} values: gtest would bind
// them to misaligned references.

namespace {

using Strings = std::vector<std::string>;

class ReadData : public ::testing::Test {
 protected:
  ReadData() {
    fx.program->ChooseDataKind(DataKind::Plu);  // the Send File "PLU-Down.txt"
  }
  // Runs "Read Data" on `content` as the Send File.
  void List(const std::string& content) {
    fx.folder.Write("PLU-Down.txt", content);
    fx.program->ReadFile(SendFileListing(*fx.program));
  }

  ProgramFixture fx{false};
  const Strings& log = fx.view.appended;
  const Strings& errors = fx.view.errors;
};

}  // namespace

TEST_F(ReadData, ListsEveryDataLineWithItsRunningNumber) {
  List(
      "; header\r\n1\t2\t3\tApples\t249\t20001\t7\t5\t1\r\n\r\n"
      "65535\t70000\t255\tPears, ripe\t$10\r\n");
  EXPECT_EQ(log, (Strings{"", "1. 1, 2, 3, Apples, 249", "2. 65535, 70000, 255, Pears, ripe, 16",
                          "", "* End *"}));
  EXPECT_EQ(errors, Strings{});
}

TEST_F(ReadData, PreparesNothingToSend) {
  List("1\t2\t3\tApples\t249\n");
  EXPECT_EQ(fx.program->CycleRecords(), 0u);
}

TEST_F(ReadData, AnErrorEndsTheListingWithTheEndLines) {
  List("1\t2\t3\tApples\t249\n1\t2\t3\n1\t2\t3\tNever\t1\n");
  EXPECT_EQ(log, (Strings{"", "1. 1, 2, 3, Apples, 249", "", "* End *"}));
  EXPECT_EQ(errors, Strings{"Error in input file ! (PLU-Down.txt, line 2, column 5: the line has "
                            "only 3 columns)"});
}

TEST_F(ReadData, ANumberThatDoesNotConvertIsAnIoError) {
  List("1\t2\t3\tApples\t249 \n");
  EXPECT_EQ(log, (Strings{"", "", "* End *"}));
  EXPECT_EQ(errors, Strings{"I/O Error ! (PLU-Down.txt, line 1, column 5: '249 ' is not a whole "
                            "number from -2147483648 to 2147483647)"});
}

TEST_F(ReadData, AMissingFileGivesTheIoErrorAndTheEndLines) {
  fx.program->ReadFile(SendFileListing(*fx.program));
  EXPECT_EQ(log, (Strings{"", "* End *"}));
  EXPECT_EQ(errors, Strings{"I/O Error ! (PLU-Down.txt: the file cannot be opened: No such file or "
                            "directory)"});
}

TEST_F(ReadData, ATextTooLongForThePluRecordIsRefusedAsTheDownloadWould) {
  List("1\t2\t3\t" + std::string(428, 'x') + "\t249\n");
  EXPECT_EQ(log, (Strings{"", "", "* End *"}));
  EXPECT_EQ(errors, Strings{"Text too long in line 1, column 4: 428 characters, at most 427 fit ! "
                            "(PLU-Down.txt, line 1, column 4)"});
}

TEST_F(ReadData, ListsThePickedFileAfterAPick) {
  fx.folder.Write("picked.plu", "9\t8\t7\tPicked\t6\n");
  fx.program->ChooseSendFile(fx.folder.File("picked.plu"));
  fx.program->ReadFile(SendFileListing(*fx.program));
  EXPECT_EQ(log, (Strings{"", "1. 9, 8, 7, Picked, 6", "", "* End *"}));
  EXPECT_EQ(errors, Strings{});
}

TEST_F(ReadData, StopsWhereADownloadWouldRefuseTheFileNamingThePlace) {
  const struct {
    std::string content;
    Strings log;
    std::string error;
  } cases[] = {
      {"1\t2\t3\tApples\t249\n1\t2\t300\tPears\t1\n",
       {"", "1. 1, 2, 3, Apples, 249", "", "* End *"},
       "I/O Error ! (PLU-Down.txt, line 2, column 3: 300 does not fit 0 to 255)"},
      {"1\t2\t3\tApp\rles\t249\n",
       {"", "", "* End *"},
       "Error in input file ! (PLU-Down.txt, line 1, column 4: the text holds the control "
       "character CR at character 4)"},
      {"1\t2\t3\tApples\t249\n\x1A;\n",
       {"", "1. 1, 2, 3, Apples, 249", "", "* End *"},
       "Error in input file ! (PLU-Down.txt, line 2: a Ctrl-Z at character 1 ends the file before "
       "its last byte)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.content);
    fx.view.appended.clear();
    fx.view.errors.clear();
    List(c.content);
    EXPECT_EQ(log, c.log);
    EXPECT_EQ(errors, Strings{c.error});
  }
}
