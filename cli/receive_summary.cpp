#include "cli/receive_summary.h"

#include <utility>

#include "cli/json_text.h"
#include "console/terminal_state_text.h"

void ReceiveSummary::Finish(std::string kind, std::string folder,
                            std::vector<TerminalResult> terminals) {
  uint32_t received = 0;
  for (const auto& terminal : terminals) received += terminal.acknowledged;
  run_.Finish(std::move(kind), std::move(folder), received);
  terminals_ = std::move(terminals);
}

bool ReceiveSummary::AllReceived() const {
  for (const auto& terminal : terminals_) {
    if (terminal.outcome != Outcome::Received) return false;
  }
  return true;
}

void ReceiveSummary::Print(std::FILE* out) const {
  std::fprintf(out, "upload started %s\n", run_.StartedText().c_str());
  std::fputs(run_.SetAsideLines().c_str(), out);
  std::fprintf(out, "%-20s %-34s %8s %9s  %s\n", "terminal", "outcome", "records", "seconds",
               "file");
  for (const auto& t : terminals_) {
    std::fprintf(out, "%-20s %-34s %8u %9.2f  %s\n", t.address.c_str(), OutcomeText(t).c_str(),
                 t.acknowledged, t.seconds, t.file.c_str());
  }
}

std::string ReceiveSummary::Json() const {
  std::string json = "{\n" + run_.JsonFields() + "  \"terminals\": [";
  for (std::size_t i = 0; i < terminals_.size(); ++i) {
    const TerminalResult& t = terminals_[i];
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.3f", t.seconds);
    json += std::string(i ? "," : "") + "\n    {\"address\": " + JsonString(t.address) +
            ", \"outcome\": " + JsonString(OutcomeText(t)) +
            ", \"records\": " + std::to_string(t.acknowledged) + ", \"seconds\": " + seconds +
            ", \"file\": " + JsonStringOrNull(t.file) +
            ", \"failure\": " + JsonStringOrNull(t.reason) +
            ", \"name\": " + run_.NameJson(t.address) + "}";
  }
  return json + (terminals_.empty() ? "]\n}\n" : "\n  ]\n}\n");
}
