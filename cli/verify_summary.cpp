#include "cli/verify_summary.h"

#include <utility>

#include "cli/json_text.h"
#include "console/terminal_state_text.h"
#include "records/verify_lines.h"

namespace {

// Its records could not be read.
bool Failed(const TerminalResult& t) {
  return !t.comparison.has_value();
}

const RecordComparison& ComparisonOf(const TerminalResult& t) {
  static const RecordComparison none;
  return t.comparison ? *t.comparison : none;
}

std::string Counts(const RecordComparison& c) {
  return "\"same\": " + std::to_string(c.same) + ", \"different\": " + std::to_string(c.different) +
         ", \"missing\": " + std::to_string(c.missing) + ", \"extra\": " + std::to_string(c.extra) +
         ", \"unseen\": " + std::to_string(c.unseen);
}

std::string JsonList(const std::vector<std::string>& texts) {
  std::string json = "[";
  for (std::size_t i = 0; i < texts.size(); ++i) json += (i ? ", " : "") + JsonString(texts[i]);
  return json + "]";
}

// `name`: the terminal's name as a JSON value.
std::string TerminalJson(const TerminalResult& t, const std::string& name) {
  const RecordComparison& c = ComparisonOf(t);
  return "\n    {\"address\": " + JsonString(t.address) +
         ", \"outcome\": " + JsonString(OutcomeText(t)) + ", " + Counts(c) +
         ", \"unlisted\": " + std::to_string(c.unlisted) +
         ",\n     \"differences\": " + JsonList(c.differences) +
         ", \"unproven\": " + JsonStringOrNull(c.unproven) +
         ", \"failure\": " + JsonStringOrNull(t.reason) + ", \"name\": " + name + "}";
}

// The terminals by their outcome, and their records' counts summed.
struct Totals {
  int matching = 0;
  int differing = 0;
  int unproven = 0;  // nothing read differs, but not everything could be read
  int failed = 0;
  RecordComparison records;
};

Totals Sum(const std::vector<TerminalResult>& terminals) {
  Totals totals;
  for (const auto& t : terminals) {
    if (Failed(t)) {
      ++totals.failed;
      continue;
    }
    const RecordComparison& c = *t.comparison;
    ++(c.Matches() ? totals.matching : c.Differs() ? totals.differing : totals.unproven);
    totals.records.same += c.same;
    totals.records.different += c.different;
    totals.records.missing += c.missing;
    totals.records.extra += c.extra;
    totals.records.unseen += c.unseen;
  }
  return totals;
}

}  // namespace

void VerifySummary::Finish(std::string kind, std::string file, uint32_t records,
                           std::vector<TerminalResult> terminals) {
  run_.Finish(std::move(kind), std::move(file), records);
  terminals_ = std::move(terminals);
}

void VerifySummary::Repaired(const std::vector<TerminalResult>& before,
                             const std::vector<TerminalResult>& sends) {
  repair_ = true;
  for (const TerminalResult& send : sends) {
    for (const TerminalResult& first : before) {
      if (first.address == send.address) repairs_[send.address] = {OutcomeText(first), send};
    }
  }
}

std::string VerifySummary::RepairJson(const std::string& address) const {
  const auto found = repairs_.find(address);
  if (found == repairs_.end()) return "null";
  const TerminalResult& send = found->second.send;
  return "{\"before\": " + JsonString(found->second.before) +
         ", \"outcome\": " + JsonString(OutcomeText(send)) +
         ", \"sent\": " + std::to_string(send.acknowledged) +
         ", \"deleted\": " + std::to_string(send.deleted) + "}";
}

int VerifySummary::ExitStatus() const {
  const Totals totals = Sum(terminals_);
  return totals.differing == 0 && totals.unproven == 0 && totals.failed == 0 ? 0 : 1;
}

void VerifySummary::Print(std::FILE* out) const {
  std::fprintf(out, "verify started %s\n", run_.StartedText().c_str());
  std::fputs(run_.SetAsideLines().c_str(), out);
  std::fprintf(out, "%-20s %-34s %8s %9s %8s %8s\n", "terminal", "outcome", "same", "different",
               "missing", "extra");
  for (const auto& t : terminals_) {
    if (Failed(t)) {
      std::fprintf(out, "%-20s %s\n", t.address.c_str(), t.reason.c_str());
      continue;
    }
    const RecordComparison& c = *t.comparison;
    std::fprintf(out, "%-20s %-34s %8d %9d %8d %8d\n", t.address.c_str(), OutcomeText(t).c_str(),
                 c.same, c.different, c.missing, c.extra);
    if (c.NotProven()) std::fprintf(out, "  %s\n", c.unproven.c_str());
    for (const std::string& line : DifferenceLines(c)) std::fprintf(out, "%s\n", line.c_str());
  }
  for (const auto& [address, repair] : repairs_) {
    std::fprintf(out, "repaired %s: was %s; %u sent, %u deleted: %s\n", address.c_str(),
                 repair.before.c_str(), repair.send.acknowledged, repair.send.deleted,
                 OutcomeText(repair.send).c_str());
  }
  const Totals totals = Sum(terminals_);
  const std::string unproven =
      totals.unproven > 0 ? ", " + std::to_string(totals.unproven) + " not proven" : "";
  std::fprintf(out, "%zu %s: %d the same as the file, %d different%s, %d failed\n",
               terminals_.size(), terminals_.size() == 1 ? "terminal" : "terminals",
               totals.matching, totals.differing, unproven.c_str(), totals.failed);
}

std::string VerifySummary::Json() const {
  const Totals totals = Sum(terminals_);
  std::string json = "{\n" + run_.JsonFields() +
                     "  \"totals\": {\"terminals\": " + std::to_string(terminals_.size()) +
                     ", \"matching\": " + std::to_string(totals.matching) +
                     ", \"differing\": " + std::to_string(totals.differing) +
                     ", \"unproven\": " + std::to_string(totals.unproven) +
                     ", \"failed\": " + std::to_string(totals.failed) + ", " +
                     Counts(totals.records) + "},\n  \"terminals\": [";
  for (std::size_t i = 0; i < terminals_.size(); ++i) {
    json += (i ? "," : "") + TerminalJson(terminals_[i], run_.NameJson(terminals_[i].address));
    if (repair_) json.insert(json.size() - 1, ", \"repair\": " + RepairJson(terminals_[i].address));
  }
  return json + (terminals_.empty() ? "]\n}\n" : "\n  ]\n}\n");
}
