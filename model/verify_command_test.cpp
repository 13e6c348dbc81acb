// "Verify Terminals" in the core: a terminal that holds the file is done, one
// that differs shows why as its failure, and "Send to Failed" then sends the
// file to exactly that one.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "records/records.h"
#include "tests/support/echo_answer.h"
#include "tests/support/program_fixture.h"

namespace {

// Answers the latest read with the PLU `number` at `price`, or with the end.
void AnswerPlu(ProgramFixture& f, int32_t number, int32_t price) {
  PluRecord record{};
  record.Field1 = 1;
  record.PluNo = number;
  record.Field5 = price;
  std::strcpy(record.Text, number == 0 ? "END: 99 No more records" : number == 1 ? "A" : "B");
  Answer(f.link, f.loop, kCodePlu, kDirectionRead, record);
}

TEST(VerifyCommand, ADifferingTerminalFailsWithItsCountsAndIsSentTheFileAfterwards) {
  ProgramFixture f;
  Program& program = *f.program;
  f.folder.Write("PLU-Down-Default.txt",
                 "1\t1\t0\tA\t100\t0\t0\t0\t0\r\n1\t2\t0\tB\t200\t0\t0\t0\t0\r\n");
  program.Terminals().SetEntries({{"127.0.0.2", true}, {"127.0.0.3", true}});
  program.HandleEvent([&] { program.Verify(TickedVerifyOrder(program)); });
  ASSERT_TRUE(program.Verifying());
  const struct {
    int32_t price;  // of PLU 2 on the terminal
    const char* verdict;
  } terminals[] = {{200, "- Verified 127.0.0.2: 2 same"},
                   {250, "- Differs 127.0.0.3: 1 same, 1 different"}};
  for (const auto& terminal : terminals) {
    f.loop.Advance(program.CycleOptionsInForce().pauseMs);
    f.loop.RunPending();
    AnswerPlu(f, 1, 100);
    AnswerPlu(f, 2, terminal.price);
    AnswerPlu(f, 0, 0);
    EXPECT_NE(std::find(program.Activity().Lines().begin(), program.Activity().Lines().end(),
                        terminal.verdict),
              program.Activity().Lines().end())
        << terminal.verdict;
  }
  ASSERT_FALSE(program.CycleRunning());
  const auto states = program.CycleStates();
  ASSERT_EQ(states.size(), 2u);
  EXPECT_TRUE(states[0].Done());
  EXPECT_EQ(states[1].failure, "differs: 1 same, 1 different");
  EXPECT_EQ(program.Activity().Lines().end()[-3],
            "  PLU 2 price: 200 in the file, 250 on the terminal");
  ASSERT_EQ(program.Verifications().size(), 2u);
  EXPECT_TRUE(program.Verifications()[0].comparison.Matches());

  f.link.sent.clear();
  program.HandleEvent([&] { program.SendToFailedTerminals(TickedSendOrder(program)); });
  f.loop.Advance(program.CycleOptionsInForce().pauseMs);
  f.loop.RunPending();
  ASSERT_EQ(f.link.sent.size(), 1u);
  EXPECT_EQ(f.link.sent[0].address, "127.0.0.3");
  EXPECT_EQ(f.link.sent[0].packet.Direction, kDirectionWrite);
}

}  // namespace
