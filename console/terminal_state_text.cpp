#include "console/terminal_state_text.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <utility>

#include "records/verify_lines.h"

namespace {

// A download that ended with a record handed over and never acknowledged
// shows both counts: the log's progress line counts the records sent, the
// totals the records stored.
std::string UnacknowledgedText(const TerminalState& state) {
  if (state.sent <= state.stored) return "";
  return " (" + std::to_string(state.sent) + " sent, " + std::to_string(state.stored) + " stored)";
}

}  // namespace

std::string TerminalStateText(const TerminalState& state) {
  if (state.NotServed()) return state.failure;
  if (state.Stopped()) return state.failure + UnacknowledgedText(state);
  if (state.Failed()) return "failed: " + state.failure + UnacknowledgedText(state);
  switch (state.phase) {
    case SessionPhase::Idle:
    case SessionPhase::Pausing:
      return "waiting";
    case SessionPhase::Connecting:
      return "connecting";
    case SessionPhase::Connected:
      return "connected";
    case SessionPhase::Transferring:
      if (state.total == 0) {
        return state.stored == 0 ? "receiving" : "receiving " + std::to_string(state.stored);
      }
      return "sending " + std::to_string(state.stored) + " / " + std::to_string(state.total);
    case SessionPhase::NotConnected:
      return "failed";
    case SessionPhase::Disconnected:
      break;
  }
  return "done";
}

std::string TerminalOutcome(const TerminalState& state) {
  if (state.Done()) return "sent";
  if (state.Failed()) return state.failure;
  return TerminalStateText(state);
}

std::string OutcomeText(const TerminalResult& result) {
  switch (result.outcome) {
    case Outcome::Sent:
      return "sent";
    case Outcome::Received:
      return "received";
    case Outcome::Same:
      return "same";
    case Outcome::Differs:
      return "different";
    case Outcome::NotProven:
      return "not proven";
    case Outcome::Unfinished: {
      TerminalState where;
      where.phase = result.phase;
      where.stored = result.acknowledged;
      where.total = result.total;
      where.sent = result.sent;
      return TerminalStateText(where);
    }
    case Outcome::Failed:
    case Outcome::Stopped:
    case Outcome::NotServed:
      break;
  }
  return result.reason;
}

bool ShowsProgress(const TerminalState& state) {
  return state.phase == SessionPhase::Transferring && state.total > 0 && !state.Failed();
}

std::string CycleTotalsText(const std::vector<TerminalState>& states) {
  int done = 0;
  int failed = 0;
  int stopped = 0;
  int notServed = 0;
  uint64_t stored = 0;
  uint32_t perTerminal = 0;  // every terminal of a cycle is sent the same records
  for (const TerminalState& state : states) {
    done += state.Done();
    failed += state.Faulted();
    stopped += state.Stopped();
    notServed += state.NotServed();
    stored += state.stored;
    perTerminal = std::max(perTerminal, state.total);
  }
  const auto count = static_cast<int>(states.size());
  std::string text = std::to_string(count) + (count == 1 ? " terminal: " : " terminals: ") +
                     std::to_string(done) + " done, " + std::to_string(failed) + " failed";
  if (stopped > 0) text += ", " + std::to_string(stopped) + " stopped";
  if (notServed > 0) text += ", " + std::to_string(notServed) + " not served";
  const int toGo = count - done - failed - stopped - notServed;
  if (toGo > 0) text += ", " + std::to_string(toGo) + " to go";
  // A receive sends nothing: what it counts is what came in.
  if (perTerminal == 0 && stored > 0)
    return text + "; " + std::to_string(stored) + " records received";
  return text + "; " + std::to_string(stored) + " of " +
         std::to_string(uint64_t{perTerminal} * states.size()) + " records stored";
}

std::string VerifiedStateText(const TerminalState& state, const TerminalResult& result) {
  switch (result.outcome) {
    case Outcome::Same:
      return "same";
    case Outcome::Differs:
      return "differs: " + ComparisonCountsText(*result.comparison);
    case Outcome::NotProven:
      return "not proven: " + result.comparison->unproven;
    case Outcome::Unfinished:
      if (state.phase == SessionPhase::Transferring) {
        return state.stored == 0 ? "reading" : "reading " + std::to_string(state.stored);
      }
      break;
    default:
      break;
  }
  return TerminalStateText(state);
}

std::string VerificationTotalsText(const std::vector<TerminalResult>& results) {
  std::map<Outcome, int> counts;
  for (const TerminalResult& result : results) ++counts[result.outcome];
  std::string text = std::to_string(counts[Outcome::Same]) + " same, " +
                     std::to_string(counts[Outcome::Differs]) + " differs, " +
                     std::to_string(counts[Outcome::Failed]) + " failed";
  const std::pair<Outcome, const char*> others[] = {{Outcome::NotProven, " not proven"},
                                                    {Outcome::Stopped, " stopped"},
                                                    {Outcome::NotServed, " not served"},
                                                    {Outcome::Unfinished, " to go"}};
  for (const auto& [outcome, words] : others) {
    if (counts[outcome] > 0) text += ", " + std::to_string(counts[outcome]) + words;
  }
  return text;
}
