// Terminals that stop answering: the answer time-out moves the cycle on.
#include <string>
#include <vector>

#include "tests/e2e/e2e_fixture.h"
#include "tests/e2e/sample_files.h"

namespace {

class Faults : public EndToEnd {
 protected:
  // A faulty terminal on 127.0.0.2 and a healthy one on 127.0.0.3, one port.
  void StartTerminals(const Lines& fault) {
    StartSimulators({{{"127.0.0.2"}, fault}, {{"127.0.0.3"}, {}}});
  }
};

TEST_F(Faults, ADroppedAnswerEndsInATimeOutAndTheCycleGoesOn) {
  folder.Write("PLU-Down-Default.txt", FileText(PluLines(10)));
  StartTerminals({"--drop-after", "4"});
  const std::size_t from = form->ListBox1.Items.size();
  ASSERT_TRUE(RunCycle({{"127.0.0.2", true}, {"127.0.0.3", true}}));
  EXPECT_EQ(LogFrom(from), (Lines{"", "- Success Connect 127.0.0.2", "- Success to Send Plu (5)",
                                  "- Time Out 127.0.0.2", "- Success to Disconect 127.0.0.2", "",
                                  "- Success Connect 127.0.0.3", "- Success to Send Plu (10)",
                                  "- Complete Send Plu (Total : 10)",
                                  "- Success to Disconect 127.0.0.3", "", "* End *"}));
}

TEST_F(Faults, AConnectionClosedMidDownloadEndsInATimeOutAndTheCycleGoesOn) {
  folder.Write("PLU-Down-Default.txt", FileText(PluLines(10)));
  StartTerminals({"--close-after", "4"});
  const std::size_t from = form->ListBox1.Items.size();
  ASSERT_TRUE(RunCycle({{"127.0.0.2", true}, {"127.0.0.3", true}}));
  EXPECT_EQ(LogFrom(from), (Lines{"", "- Success Connect 127.0.0.2", "- Success to Send Plu (5)",
                                  "- Time Out 127.0.0.2", "- Fail to Disconnect 127.0.0.2", "",
                                  "- Success Connect 127.0.0.3", "- Success to Send Plu (10)",
                                  "- Complete Send Plu (Total : 10)",
                                  "- Success to Disconect 127.0.0.3", "", "* End *"}));
}

}  // namespace
