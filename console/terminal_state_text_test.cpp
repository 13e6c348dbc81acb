#include "console/terminal_state_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TerminalState StateOf(SessionPhase phase, uint32_t stored, uint32_t total,
                      const std::string& failure = "", uint32_t sent = 0) {
  TerminalState state;
  state.address = "127.0.0.3";
  state.phase = phase;
  state.stored = stored;
  state.total = total;
  state.failure = failure;
  state.sent = sent;
  return state;
}

TEST(TerminalStateText, EachStateHasItsWordsAndItsOutcome) {
  using P = SessionPhase;
  struct Case {
    TerminalState state;
    const char* shown;
    const char* outcome;
    bool progress;
  };
  const Case cases[] = {
      {StateOf(P::Idle, 0, 0), "waiting", "waiting", false},
      {StateOf(P::Pausing, 0, 0), "waiting", "waiting", false},
      {StateOf(P::Connecting, 0, 0), "connecting", "connecting", false},
      {StateOf(P::Connected, 0, 0), "connected", "connected", false},
      {StateOf(P::Transferring, 1200, 3334), "sending 1200 / 3334", "sending 1200 / 3334", true},
      {StateOf(P::Transferring, 0, 0), "receiving", "receiving", false},
      {StateOf(P::Transferring, 12, 0), "receiving 12", "receiving 12", false},
      {StateOf(P::Disconnected, 3334, 3334), "done", "sent", false},
      {StateOf(P::NotConnected, 0, 0, "connect failed"), "failed: connect failed", "connect failed",
       false},
      {StateOf(P::Transferring, 7, 9, "timed out"), "failed: timed out", "timed out", false},
      {StateOf(P::Disconnected, 2, 9, "refused: ERR: 90 Memory full"),
       "failed: refused: ERR: 90 Memory full", "refused: ERR: 90 Memory full", false},
      {StateOf(P::Disconnected, 0, 9, "closed by terminal"), "failed: closed by terminal",
       "closed by terminal", false},
      {StateOf(P::Disconnected, 4, 9, "refused: ERR: 90 Memory full", 5),
       "failed: refused: ERR: 90 Memory full (5 sent, 4 stored)", "refused: ERR: 90 Memory full",
       false},
      {StateOf(P::Disconnected, 1468, 3334, "stopped", 1469), "stopped (1469 sent, 1468 stored)",
       "stopped", false},
      {StateOf(P::Pausing, 0, 3334, "stopped"), "stopped", "stopped", false},
      {StateOf(P::Idle, 0, 3334, "not served"), "not served", "not served", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shown);
    EXPECT_EQ(TerminalStateText(c.state), c.shown);
    EXPECT_EQ(TerminalOutcome(c.state), c.outcome);
    EXPECT_EQ(ShowsProgress(c.state), c.progress);
  }
}

TEST(TerminalStateText, TheTotalsCountDoneFailedStoppedNotServedAndRecords) {
  using P = SessionPhase;
  struct Case {
    std::vector<TerminalState> states;
    const char* totals;
  };
  const Case cases[] = {
      {{StateOf(P::Disconnected, 3, 3), StateOf(P::Disconnected, 3, 3),
        StateOf(P::NotConnected, 0, 0, "connect failed")},
       "3 terminals: 2 done, 1 failed; 6 of 9 records stored"},
      {{StateOf(P::Transferring, 1, 3)},
       "1 terminal: 0 done, 0 failed, 1 to go; 1 of 3 records stored"},
      {{StateOf(P::Disconnected, 3, 3), StateOf(P::Idle, 0, 0)},
       "2 terminals: 1 done, 0 failed, 1 to go; 3 of 6 records stored"},
      {{}, "0 terminals: 0 done, 0 failed; 0 of 0 records stored"},
      {{StateOf(P::Disconnected, 4, 0), StateOf(P::Transferring, 2, 0)},
       "2 terminals: 1 done, 0 failed, 1 to go; 6 records received"},
      {{StateOf(P::Idle, 0, 3), StateOf(P::Pausing, 0, 3)},
       "2 terminals: 0 done, 0 failed, 2 to go; 0 of 6 records stored"},
      {{StateOf(P::NotConnected, 0, 3, "connect failed"), StateOf(P::Disconnected, 1, 3, "stopped"),
        StateOf(P::Idle, 0, 3, "not served"), StateOf(P::Idle, 0, 3, "not served")},
       "4 terminals: 0 done, 1 failed, 1 stopped, 2 not served; 1 of 12 records stored"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CycleTotalsText(c.states), c.totals);
  }
}

}  // namespace

TEST(TerminalStateText, AVerificationReadsAsItsVerdictAndItsTotalsCountThem) {
  using P = SessionPhase;
  const auto result = [](Outcome outcome, const char* unproven = "") {
    TerminalResult r;
    r.outcome = outcome;
    if (outcome == Outcome::Differs || outcome == Outcome::NotProven) {
      r.comparison = RecordComparison{};
      r.comparison->same = 3;
      r.comparison->different = outcome == Outcome::Differs ? 2 : 0;
      r.comparison->missing = outcome == Outcome::Differs ? 1 : 0;
      r.comparison->unproven = unproven;
    }
    return r;
  };
  const struct {
    TerminalState state;
    TerminalResult result;
    const char* shown;
  } cases[] = {
      {StateOf(P::Transferring, 0, 0), result(Outcome::Unfinished), "reading"},
      {StateOf(P::Transferring, 120, 0), result(Outcome::Unfinished), "reading 120"},
      {StateOf(P::Disconnected, 3, 0), result(Outcome::Same), "same"},
      {StateOf(P::Disconnected, 6, 0, "differs: 3 same, 2 different, 1 missing"),
       result(Outcome::Differs), "differs: 3 same, 2 different, 1 missing"},
      {StateOf(P::Disconnected, 3, 0, "not proven: x"), result(Outcome::NotProven, "the end"),
       "not proven: the end"},
      {StateOf(P::NotConnected, 0, 0, "connect failed"), result(Outcome::Failed),
       "failed: connect failed"},
      {StateOf(P::Pausing, 0, 0), result(Outcome::Unfinished), "waiting"},
  };
  std::vector<TerminalResult> results;
  for (const auto& c : cases) {
    EXPECT_EQ(VerifiedStateText(c.state, c.result), c.shown);
    results.push_back(c.result);
  }
  EXPECT_EQ(VerificationTotalsText(results), "1 same, 1 differs, 1 failed, 1 not proven, 3 to go");
  TerminalResult stopped = result(Outcome::Stopped);
  EXPECT_EQ(VerificationTotalsText({stopped, result(Outcome::NotServed), result(Outcome::Same)}),
            "1 same, 0 differs, 0 failed, 1 stopped, 1 not served");
  EXPECT_EQ(VerificationTotalsText({}), "0 same, 0 differs, 0 failed");
}
