#include "model/run_lines.h"

#include <cstring>
#include <map>
#include <regex>
#include <utility>

#include "records/record_kinds.h"

namespace {

// "1 terminal", "6 terminals".
std::string Terminals(std::size_t count) {
  return std::to_string(count) + (count == 1 ? " terminal" : " terminals");
}

// The outcome a terminal of the run ends well with.
Outcome GoodOutcome(RunKind ran) {
  switch (ran) {
    case RunKind::Send:
    case RunKind::ChangesSend:
      return Outcome::Sent;
    case RunKind::Receive:
      return Outcome::Received;
    case RunKind::Verification:
    case RunKind::Repair:
      return Outcome::Same;
  }
  return Outcome::Sent;
}

// "5 sent, 1 failed, 1 stopped": the good outcome, the failed (and of a
// verification the differing) always, every other one where there is any,
// in the order Outcome lists them.
std::string OutcomeCounts(RunKind ran, const std::vector<TerminalResult>& results) {
  static const std::pair<Outcome, const char*> words[] = {{Outcome::Sent, "sent"},
                                                          {Outcome::Received, "received"},
                                                          {Outcome::Same, "same"},
                                                          {Outcome::Differs, "differs"},
                                                          {Outcome::NotProven, "not proven"},
                                                          {Outcome::Failed, "failed"},
                                                          {Outcome::Stopped, "stopped"},
                                                          {Outcome::NotServed, "not served"},
                                                          {Outcome::Unfinished, "unfinished"}};
  std::map<Outcome, int> counts;
  for (const TerminalResult& result : results) ++counts[result.outcome];
  std::string text;
  for (const auto& [outcome, word] : words) {
    const bool always = outcome == GoodOutcome(ran) || outcome == Outcome::Failed ||
                        (outcome == Outcome::Differs && GoodOutcome(ran) == Outcome::Same);
    if (counts[outcome] == 0 && !always) continue;
    text += (text.empty() ? "" : ", ") + std::to_string(counts[outcome]) + " " + word;
  }
  return text;
}

// "; 20004 of 24000 records stored, 3 deleted" of a send, "; 6700 records
// received" of a receive; a verification's records stay where they are.
std::string RecordCounts(RunKind ran, const std::vector<TerminalResult>& results) {
  uint64_t acknowledged = 0;
  uint64_t total = 0;
  uint64_t deleted = 0;
  for (const TerminalResult& result : results) {
    acknowledged += result.acknowledged;
    total += result.total;
    deleted += result.deleted;
  }
  switch (ran) {
    case RunKind::Send:
    case RunKind::ChangesSend:
      return "; " + std::to_string(acknowledged) + " of " + std::to_string(total) +
             " records stored" + (deleted > 0 ? ", " + std::to_string(deleted) + " deleted" : "");
    case RunKind::Receive:
      return "; " + std::to_string(acknowledged) + " records received";
    case RunKind::Verification:
    case RunKind::Repair:
      return "";
  }
  return "";
}

}  // namespace

const char* RunName(RunKind ran) {
  switch (ran) {
    case RunKind::Send:
      return "send";
    case RunKind::ChangesSend:
      return "changes send";
    case RunKind::Verification:
      return "verification";
    case RunKind::Repair:
      return "repair";
    case RunKind::Receive:
      return "receive";
  }
  return "send";
}

std::string RunBeginLine(const RunStart& run) {
  const RecordKind* kind = KindOfCode(run.code);
  return std::string("Run: ") + RunName(run.ran) + ", " + (kind ? kind->label : "no kind") +
         (run.ran == RunKind::Receive ? ", folder " : ", file ") + run.file + ", " +
         Terminals(static_cast<std::size_t>(run.terminals)) + ", " + std::to_string(run.atOnce) +
         " at once, started by " + run.startedBy;
}

std::optional<std::string> RunFileOf(const std::string& line) {
  // After the kind: the file, then the terminals, how many at once and who
  // started the run; the file is the shortest text the rest can follow.
  static const std::regex rest(", [0-9]+ terminals?, [0-9]+ at once, started by .*");
  if (!line.starts_with("Run: ")) return std::nullopt;
  for (const char* named : {", file ", ", folder "}) {
    const std::size_t start = line.find(named);
    if (start == std::string::npos) continue;
    const std::size_t path = start + std::strlen(named);
    for (std::size_t end = line.find(", ", path); end != std::string::npos;
         end = line.find(", ", end + 1)) {
      if (std::regex_match(line.begin() + static_cast<std::ptrdiff_t>(end), line.end(), rest))
        return line.substr(path, end - path);
    }
  }
  return std::nullopt;
}

std::string RunEndLine(RunKind ran, const std::vector<TerminalResult>& results) {
  return std::string("Run ended: ") + RunName(ran) + ", " + Terminals(results.size()) + ": " +
         OutcomeCounts(ran, results) + RecordCounts(ran, results);
}
