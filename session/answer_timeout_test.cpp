#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/echo_answer.h"
#include "tests/support/program_fixture.h"

namespace {

using Lines = std::vector<std::string>;

class AnswerTimeout : public ::testing::Test {
 protected:
  void SetUp() override {
    f.folder.Write("PLU-Down-Default.txt", PluFileLines(3));
    program.Terminals().SetEntries({{"127.0.0.31", true}, {"127.0.0.32", true}});
    ChangeCycleOptions(program, std::nullopt, std::nullopt, 500);
  }
  // Starts a cycle and runs it up to the first record sent to the first terminal.
  void StartCycle() {
    program.HandleEvent([&] { program.Send(TickedSendOrder(program)); });
    f.loop.Advance(program.CycleOptionsInForce().pauseMs);
    ASSERT_EQ(f.link.sent.size(), 1u);
  }
  bool Logged(const std::string& line) const {
    for (const auto& item : program.Activity().Lines())
      if (item == line) return true;
    return false;
  }

  ProgramFixture f;
  Program& program = *f.program;
};

TEST_F(AnswerTimeout, ASilentTerminalIsLeftAfterTheTimeOutAndTheCycleGoesOn) {
  StartCycle();
  f.loop.Advance(499);
  EXPECT_FALSE(Logged("- Time Out 127.0.0.31"));
  f.loop.Advance(1);
  const Lines& log = program.Activity().Lines();
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ(Lines(log.end() - 3, log.end()),
            (Lines{"- Success to Send Plu (1)", "- Time Out 127.0.0.31",
                   "- Success to Disconect 127.0.0.31"}));
  EXPECT_EQ(program.ServedAddress(), "127.0.0.32");

  f.loop.Advance(program.CycleOptionsInForce().pauseMs);  // the second terminal is silent too
  f.loop.Advance(500);
  EXPECT_TRUE(Logged("- Time Out 127.0.0.32"));
  EXPECT_EQ(program.Activity().Lines().back(), "* End *");
  EXPECT_FALSE(program.CycleRunning());
}

TEST_F(AnswerTimeout, CountsFromTheLatestRequest) {
  StartCycle();
  f.loop.Advance(400);
  EchoLastSent(f.link, f.loop);  // the second record goes out at 400 ms
  f.loop.Advance(400);
  EXPECT_FALSE(Logged("- Time Out 127.0.0.31"));
  EchoLastSent(f.link, f.loop);
  EchoLastSent(f.link, f.loop);  // the download ends: no time-out follows
  EXPECT_FALSE(f.loop.Armed(TimerKind::AnswerTimeout));
  EXPECT_EQ(program.ServedAddress(), "127.0.0.32");
}

TEST_F(AnswerTimeout, ARefusedRecordMovesTheCycleOnAfterTheTimeOut) {
  f.link.sendResult = 0;
  StartCycle();
  EXPECT_EQ(program.Activity().Lines().back(), "- Fail to Send Plu (1)");
  f.loop.Advance(500);
  EXPECT_TRUE(Logged("- Time Out 127.0.0.31"));
  EXPECT_EQ(program.ServedAddress(), "127.0.0.32");
}

TEST_F(AnswerTimeout, ALateAnswerSendsNothingMore) {
  StartCycle();
  f.loop.Advance(500);
  ASSERT_TRUE(Logged("- Time Out 127.0.0.31"));
  EchoLastSent(f.link, f.loop);
  EXPECT_EQ(f.link.sent.size(), 1u);
  f.loop.Advance(program.CycleOptionsInForce().pauseMs);  // the next terminal is served as usual
  EXPECT_EQ(f.link.sent.size(), 2u);
  EXPECT_EQ(f.link.sent.back().address, "127.0.0.32");
}

TEST_F(AnswerTimeout, ALateAnswerOfTheTerminalLeftBehindIsNotTakenForTheNextOnes) {
  StartCycle();
  const SentPacket first = f.link.sent.back();
  f.loop.Advance(500);
  f.loop.Advance(
      program.CycleOptionsInForce().pauseMs);  // the next terminal is sent its first record
  ASSERT_EQ(f.link.sent.size(), 2u);
  ASSERT_EQ(f.link.sent.back().address, "127.0.0.32");
  const Lines log = program.Activity().Lines();
  const TransferState state = program.ServedTransfer();
  // The first terminal acknowledges its record 1 now, as the next one would.
  f.link.Deliver(first.packet.Code, first.packet.Direction, first.data.data(),
                 static_cast<uint16_t>(first.data.size()), first.address);
  f.loop.RunPending();
  EXPECT_EQ(program.Activity().Lines(), log);
  EXPECT_TRUE(program.ServedTransfer() == state);
  EXPECT_EQ(f.link.sent.size(), 2u);
}

TEST_F(AnswerTimeout, IsNotArmedOutsideACycle) {
  program.Serve("127.0.0.31");
  program.Connect(ServedOrder(program));
  f.loop.RunPending();
  program.Download(ServedDownloadOrder(program));
  ASSERT_EQ(f.link.sent.size(), 1u);
  EXPECT_FALSE(f.loop.Armed(TimerKind::AnswerTimeout));
  f.loop.Advance(60 * 1000);
  EXPECT_FALSE(Logged("- Time Out 127.0.0.31"));
}

}  // namespace
