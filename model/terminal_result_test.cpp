// The typed end of each terminal: made from its state, and from a
// verification's verdict, never from the log.
#include "model/terminal_result.h"

#include <gtest/gtest.h>

#include "tests/support/program_fixture.h"

namespace {

TerminalState StateOf(SessionPhase phase, const std::string& failure, uint32_t stored = 0) {
  TerminalState state;
  state.address = "127.0.0.2";
  state.phase = phase;
  state.failure = failure;
  state.stored = stored;
  state.file = "/srv/received/x.txt";
  return state;
}

}  // namespace

TEST(TerminalResult, EachStateEndsInItsOutcomeWithItsReason) {
  using P = SessionPhase;
  const struct {
    const char* name;
    TerminalState state;
    CycleKind kind;
    Outcome outcome;
    bool complete;
  } cases[] = {
      {"sent whole", StateOf(P::Disconnected, "", 3), CycleKind::Send, Outcome::Sent, false},
      {"received whole", StateOf(P::Disconnected, "", 3), CycleKind::Receive, Outcome::Received,
       true},
      {"connect failed", StateOf(P::NotConnected, "connect failed"), CycleKind::Send,
       Outcome::Failed, false},
      {"refused", StateOf(P::Disconnected, "refused: ERR: 90 Memory full", 1), CycleKind::Receive,
       Outcome::Failed, false},
      {"stopped", StateOf(P::Disconnected, kStoppedReason), CycleKind::Send, Outcome::Stopped,
       false},
      {"not served", StateOf(P::Idle, kNotServedReason), CycleKind::Send, Outcome::NotServed,
       false},
      {"given up", StateOf(P::Connecting, ""), CycleKind::Send, Outcome::Unfinished, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const TerminalResult result = ResultOf(c.state, c.kind);
    EXPECT_EQ(result.outcome, c.outcome);
    EXPECT_EQ(result.reason, c.state.failure);
    EXPECT_EQ(result.acknowledged, c.state.stored);
    EXPECT_EQ(result.complete, c.complete);
    EXPECT_EQ(result.phase, c.state.phase);
    EXPECT_FALSE(result.judged);
  }
}

TEST(TerminalResult, AVerdictDecidesAVerificationsOutcome) {
  RecordComparison same{2, 0, 0, 0, {}, 0, 0, "", {}};
  RecordComparison differs{1, 1, 0,  0, {"PLU 2 price: 1 in the file, 2 on the terminal"},
                           0, 0, "", {}};
  RecordComparison unproven{2, 0, 0, 0, {}, 0, 0, "the terminal ended its records at 65535", {}};
  const TerminalState done = StateOf(SessionPhase::Disconnected, "");
  EXPECT_EQ(VerifiedResult(done, TerminalVerification{"127.0.0.2", "", same}).outcome,
            Outcome::Same);
  EXPECT_EQ(VerifiedResult(done, TerminalVerification{"127.0.0.2", "", differs}).outcome,
            Outcome::Differs);
  EXPECT_EQ(VerifiedResult(done, TerminalVerification{"127.0.0.2", "", unproven}).outcome,
            Outcome::NotProven);

  const TerminalResult unread = VerifiedResult(StateOf(SessionPhase::Disconnected, "timed out"),
                                               TerminalVerification{"127.0.0.2", "timed out", {}});
  EXPECT_EQ(unread.outcome, Outcome::Failed);
  EXPECT_EQ(unread.reason, "timed out");
  EXPECT_FALSE(unread.comparison.has_value());
  EXPECT_TRUE(unread.judged);

  // No verdict: the state's outcome, and no verdict to show.
  const TerminalResult notServed =
      VerifiedResult(StateOf(SessionPhase::Idle, kNotServedReason), std::nullopt);
  EXPECT_EQ(notServed.outcome, Outcome::NotServed);
  EXPECT_FALSE(notServed.judged);
}

// The served terminal's end is read from its session, whatever its log says.
TEST(TerminalResult, TheServedTerminalsEndIsTypedWhateverItsLogSays) {
  ProgramFixture f;
  EXPECT_FALSE(f.program->ServedResult().has_value());
  f.link.connectResult = 0;
  f.program->Serve("127.0.0.2");
  f.program->HandleEvent([&] { f.program->Connect(ServedOrder(*f.program)); });
  f.loop.RunPending();
  // The log's last line is no concern of the result's.
  f.program->AddLog("- Success Connect 127.0.0.2");
  const auto result = f.program->ServedResult();
  ASSERT_TRUE(result.has_value());
  EXPECT_EQ(result->address, "127.0.0.2");
  EXPECT_EQ(result->outcome, Outcome::Failed);
  EXPECT_EQ(result->reason, "connect failed");
  EXPECT_EQ(result->phase, SessionPhase::NotConnected);
}
