// Send cycles and downloads over real connections.
#include <string>
#include <vector>

#include "tests/e2e/e2e_fixture.h"
#include "tests/e2e/sample_files.h"

namespace {

TEST_F(EndToEnd, ACycleServesTheTickedTerminalsAndPassesOverOneWithoutListener) {
  const Lines plu = PluLines(25);
  folder.Write("PLU-Down-Default.txt", FileText(plu));
  StartSimulator({"127.0.0.2", "127.0.0.5"});
  const std::size_t from = form->ListBox1.Items.size();
  ASSERT_TRUE(RunCycle({{"127.0.0.2", true},
                        {"127.0.0.3", false},
                        {"127.0.0.4", true},
                        {"127.0.0.5", true},
                        {"127.0.0.6", false}}));
  EXPECT_EQ(LogFrom(from),
            (Lines{"", "- Success Connect 127.0.0.2", "- Success to Send Plu (25)",
                   "- Complete Send Plu (Total : 25)", "- Success to Disconect 127.0.0.2", "",
                   "- Skip Connect 127.0.0.3", "", "- Fail Connect 127.0.0.4", "",
                   "- Success Connect 127.0.0.5", "- Success to Send Plu (25)",
                   "- Complete Send Plu (Total : 25)", "- Success to Disconect 127.0.0.5", "",
                   "- Skip Connect 127.0.0.6", "", "* End *"}));
  StopSimulator();
  EXPECT_EQ(Dump("127.0.0.2", "plu"), plu);
  EXPECT_EQ(Dump("127.0.0.5", "plu"), plu);
}

TEST_F(EndToEnd, AFullPluTableGoesDownAndComesBackUnchanged) {
  const Lines plu = PluLines(3334);
  folder.Write("PLU-Down-Default.txt", FileText(plu));
  StartSimulator({"127.0.0.2"});
  ASSERT_TRUE(RunCycle({{"127.0.0.2", true}}));
  EXPECT_TRUE(Logged("- Complete Send Plu (Total : 3334)"));

  const std::size_t from = form->ListBox1.Items.size();
  ASSERT_TRUE(RunUpload("127.0.0.2", "PLU-Up.txt"));
  Lines expected;
  for (const auto& line : plu) expected.push_back(UploadLineOf(line));
  EXPECT_EQ(FileLines("PLU-Up.txt"), expected);
  const Lines log = LogFrom(from);
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ(Lines(log.end() - 3, log.end()),
            (Lines{"- Success to Send dataUploadNextPLU", "- CompleteDataReceivedPLU",
                   "- Success to Disconect 127.0.0.2"}));
  EXPECT_TRUE(view.errors.empty());
  EXPECT_TRUE(view.failures.empty());
}

TEST_F(EndToEnd, BarcodeIngredientAndScrollMessageRecordsMakeTheRoundTrip) {
  struct Kind {
    void (TForm1::*choose)();
    std::string downloadFile, uploadFile, dumpKind;
    Lines lines;
    std::string separator, lineEnd;
  };
  const Kind kinds[] = {
      {&TForm1::RadioButton2Click, "Barcode-Down.txt", "Barcode-Up.txt", "barcode", BarcodeLines(),
       ", ", ""},
      {&TForm1::RadioButton11Click, "Ingredient-Down.txt", "Ingredient-Up.txt", "ingredient",
       IngredientLines(), ",", ""},
      {&TForm1::RadioButton12Click, "ScrollMsg-Down.txt", "ScrollMsg-Up.txt", "scrollmsg",
       ScrollMsgLines(), ", ", " "},
  };
  StartSimulator({"127.0.0.2"});
  for (const Kind& kind : kinds) {
    SCOPED_TRACE(kind.dumpKind);
    (form.get()->*kind.choose)();
    folder.Write(kind.downloadFile, FileText(kind.lines));
    ASSERT_TRUE(RunCycle({{"127.0.0.2", true}}));
    ASSERT_TRUE(RunUpload("127.0.0.2", kind.uploadFile));
    Lines expected;
    for (const auto& line : kind.lines)
      expected.push_back(UploadLineOf(line, kind.separator) + kind.lineEnd);
    EXPECT_EQ(FileLines(kind.uploadFile), expected);
  }
  StopSimulator();
  for (const Kind& kind : kinds) EXPECT_EQ(Dump("127.0.0.2", kind.dumpKind), kind.lines);
  EXPECT_TRUE(view.errors.empty());
}

TEST_F(EndToEnd, TheSpeedkeyRecordIsStoredAndTheCycleGoesOn) {
  form->RadioButton13Click();
  folder.Write("Speedkey-Down.txt", SpeedkeyLine() + "\r\n");
  StartSimulator({"127.0.0.2", "127.0.0.3"});
  const std::size_t from = form->ListBox1.Items.size();
  ASSERT_TRUE(RunCycle({{"127.0.0.2", true}, {"127.0.0.3", true}}));
  const Lines log = LogFrom(from);
  ASSERT_GE(log.size(), 6u);
  EXPECT_EQ(Lines(log.begin(), log.begin() + 6),
            (Lines{"", "- Success Connect 127.0.0.2", "- Success to Send dataDownloadNextSpeedkey",
                   "DataReceivedSpeedkey", "- CompleteDownloadNextSpeedkey",
                   "- Success to Disconect 127.0.0.2"}));
  StopSimulator();
  EXPECT_EQ(Dump("127.0.0.2", "speedkey"), Lines{SpeedkeyLine()});
  EXPECT_EQ(Dump("127.0.0.3", "speedkey"), Lines{SpeedkeyLine()});
}

}  // namespace
