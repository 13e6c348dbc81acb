#include "cli/send_summary.h"

#include <utility>

#include "cli/json_text.h"
#include "console/terminal_state_text.h"

namespace {

std::string Seconds(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", seconds);
  return text;
}

}  // namespace

void SendSummary::Finish(std::string kind, std::string file, uint32_t records,
                         std::vector<TerminalResult> terminals) {
  run_.Finish(std::move(kind), std::move(file), records);
  terminals_ = std::move(terminals);
}

bool SendSummary::AllSent() const {
  for (const auto& terminal : terminals_) {
    if (terminal.outcome != Outcome::Sent) return false;
  }
  return true;
}

void SendSummary::Print(std::FILE* out) const {
  std::fprintf(out, "send started %s\n", run_.StartedText().c_str());
  std::fputs(run_.SetAsideLines().c_str(), out);
  std::fprintf(out, "%-20s %-34s %8s %8s %9s %8s %9s\n", "terminal", "outcome", "stored", "sent",
               "unchanged", "deleted", "seconds");
  for (const auto& t : terminals_) {
    std::fprintf(out, "%-20s %-34s %8u %8u %9u %8u %9.2f\n", t.address.c_str(),
                 OutcomeText(t).c_str(), t.acknowledged, t.sent, t.unchanged, t.deleted, t.seconds);
  }
}

std::string SendSummary::Json() const {
  std::string json = "{\n" + run_.JsonFields() + "  \"terminals\": [";
  for (std::size_t i = 0; i < terminals_.size(); ++i) {
    const TerminalResult& t = terminals_[i];
    json += std::string(i ? "," : "") + "\n    {\"address\": " + JsonString(t.address) +
            ", \"outcome\": " + JsonString(OutcomeText(t)) +
            ", \"acknowledged\": " + std::to_string(t.acknowledged) +
            ", \"sent\": " + std::to_string(t.sent) +
            ", \"unchanged\": " + std::to_string(t.unchanged) +
            ", \"deleted\": " + std::to_string(t.deleted) + ", \"seconds\": " + Seconds(t.seconds) +
            ", \"failure\": " + JsonStringOrNull(t.reason) +
            ", \"name\": " + run_.NameJson(t.address) + "}";
  }
  return json + (terminals_.empty() ? "]\n}\n" : "\n  ]\n}\n");
}
