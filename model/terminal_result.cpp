#include "model/terminal_result.h"

namespace {

Outcome FaultOf(const TerminalState& state) {
  if (state.Stopped()) return Outcome::Stopped;
  if (state.NotServed()) return Outcome::NotServed;
  return Outcome::Failed;
}

}  // namespace

TerminalResult ResultOf(const TerminalState& state, CycleKind kind) {
  TerminalResult result;
  result.address = state.address;
  result.phase = state.phase;
  result.reason = state.failure;
  result.acknowledged = state.stored;
  result.sent = state.sent;
  result.total = state.total;
  result.unchanged = state.unchanged;
  result.deleted = state.deleted;
  result.seconds = state.seconds;
  result.file = state.file;
  result.complete = kind == CycleKind::Receive && state.Done();
  if (state.Failed()) {
    result.outcome = FaultOf(state);
  } else if (state.Done()) {
    result.outcome = kind == CycleKind::Receive ? Outcome::Received : Outcome::Sent;
  } else {
    result.outcome = Outcome::Unfinished;
  }
  return result;
}

TerminalResult VerifiedResult(const TerminalState& state,
                              const std::optional<TerminalVerification>& verdict) {
  TerminalResult result = ResultOf(state, CycleKind::Verify);
  if (!verdict) return result;
  result.judged = true;
  if (!verdict->failure.empty()) {
    // Its records could not be read: why is the verdict's.
    result.reason = verdict->failure;
    result.outcome = state.Stopped() ? Outcome::Stopped : Outcome::Failed;
    return result;
  }
  result.reason.clear();
  result.comparison = verdict->comparison;
  const RecordComparison& c = verdict->comparison;
  result.outcome = c.Matches()   ? Outcome::Same
                   : c.Differs() ? Outcome::Differs
                                 : Outcome::NotProven;
  return result;
}
