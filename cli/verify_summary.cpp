#include "cli/verify_summary.h"

#include <utility>

#include "cli/json_text.h"
#include "records/verify_lines.h"

namespace {

bool Failed(const TerminalVerification& t) {
  return !t.failure.empty();
}

// "same", "different", "not proven", or why the terminal could not be read.
std::string Outcome(const TerminalVerification& t) {
  if (Failed(t)) return t.failure;
  if (t.comparison.Matches()) return "same";
  return t.comparison.Differs() ? "different" : "not proven";
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

std::string TerminalJson(const TerminalVerification& t) {
  const RecordComparison& c = t.comparison;
  return "\n    {\"address\": " + JsonString(t.address) +
         ", \"outcome\": " + JsonString(Outcome(t)) + ", " + Counts(c) +
         ", \"unlisted\": " + std::to_string(c.unlisted) +
         ",\n     \"differences\": " + JsonList(c.differences) +
         ", \"unproven\": " + JsonStringOrNull(c.unproven) +
         ", \"failure\": " + JsonStringOrNull(t.failure) + "}";
}

// The terminals by their outcome, and their records' counts summed.
struct Totals {
  int matching = 0;
  int differing = 0;
  int unproven = 0;  // nothing read differs, but not everything could be read
  int failed = 0;
  RecordComparison records;
};

Totals Sum(const std::vector<TerminalVerification>& terminals) {
  Totals totals;
  for (const auto& t : terminals) {
    if (Failed(t)) {
      ++totals.failed;
      continue;
    }
    ++(t.comparison.Matches()   ? totals.matching
       : t.comparison.Differs() ? totals.differing
                                : totals.unproven);
    totals.records.same += t.comparison.same;
    totals.records.different += t.comparison.different;
    totals.records.missing += t.comparison.missing;
    totals.records.extra += t.comparison.extra;
    totals.records.unseen += t.comparison.unseen;
  }
  return totals;
}

}  // namespace

void VerifySummary::Finish(std::string kind, std::string file, uint32_t records,
                           std::vector<TerminalVerification> terminals) {
  run_.Finish(std::move(kind), std::move(file), records);
  terminals_ = std::move(terminals);
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
    const RecordComparison& c = t.comparison;
    if (Failed(t)) {
      std::fprintf(out, "%-20s %s\n", t.address.c_str(), t.failure.c_str());
      continue;
    }
    std::fprintf(out, "%-20s %-34s %8d %9d %8d %8d\n", t.address.c_str(), Outcome(t).c_str(),
                 c.same, c.different, c.missing, c.extra);
    if (c.NotProven()) std::fprintf(out, "  %s\n", c.unproven.c_str());
    for (const std::string& line : DifferenceLines(c)) std::fprintf(out, "%s\n", line.c_str());
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
    json += (i ? "," : "") + TerminalJson(terminals_[i]);
  }
  return json + (terminals_.empty() ? "]\n}\n" : "\n  ]\n}\n");
}
