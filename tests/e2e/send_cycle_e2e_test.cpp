// Downloads and their uploads over real connections, through the core: a full
// PLU table there and back, and the speedkey record.
#include <string>
#include <vector>

#include "tests/e2e/e2e_fixture.h"
#include "tests/e2e/sample_files.h"

namespace {

TEST_F(EndToEnd, AFullPluTableGoesDownAndComesBackUnchanged) {
  const Lines plu = PluLines(3334);
  folder.Write("PLU-Down-Default.txt", FileText(plu));
  StartSimulator({"127.0.0.2"});
  ASSERT_TRUE(RunCycle({{"127.0.0.2", true}}));
  EXPECT_TRUE(Logged("- Complete Send Plu (Total : 3334)"));

  const std::size_t from = program->Activity().Lines().size();
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

TEST_F(EndToEnd, TheSpeedkeyRecordIsStoredAndTheCycleGoesOn) {
  program->ChooseDataKind(DataKind::Speedkey);
  folder.Write("Speedkey-Down.txt", SpeedkeyLine() + "\r\n");
  StartSimulator({"127.0.0.2", "127.0.0.3"});
  const std::size_t from = program->Activity().Lines().size();
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
