#include "cli/send_summary.h"

#include <utility>

#include "cli/json_text.h"
#include "console/terminal_state_text.h"

namespace {

// Local time, ISO 8601 to the second, with the offset from UTC.
std::string LocalTime(std::time_t when) {
  std::tm local{};
  localtime_r(&when, &local);
  char text[40];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S%z", &local);
  std::string iso = text;
  if (iso.size() > 2) iso.insert(iso.size() - 2, ":");  // +0100 -> +01:00
  return iso;
}

std::string Seconds(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", seconds);
  return text;
}

}  // namespace

SendSummary::SendSummary() : started_(std::time(nullptr)) {}

void SendSummary::Finish(std::string kind, std::string file, uint32_t records,
                         std::vector<TerminalState> terminals) {
  ended_ = std::time(nullptr);
  kind_ = std::move(kind);
  file_ = std::move(file);
  records_ = records;
  terminals_ = std::move(terminals);
}

bool SendSummary::AllSent() const {
  for (const auto& terminal : terminals_) {
    if (!terminal.Done()) return false;
  }
  return true;
}

void SendSummary::Print(std::FILE* out) const {
  char when[32];
  std::tm local{};
  localtime_r(&started_, &local);
  std::strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S", &local);
  std::fprintf(out, "send started %s\n", when);
  std::fprintf(out, "%-20s %-34s %8s %9s\n", "terminal", "outcome", "stored", "seconds");
  for (const auto& t : terminals_) {
    std::fprintf(out, "%-20s %-34s %8u %9.2f\n", t.address.c_str(), TerminalOutcome(t).c_str(),
                 t.stored, t.seconds);
  }
}

std::string SendSummary::Json() const {
  std::string json = "{\n  \"started\": " + JsonString(LocalTime(started_)) +
                     ",\n  \"ended\": " + JsonString(LocalTime(ended_)) +
                     ",\n  \"kind\": " + JsonString(kind_) + ",\n  \"file\": " + JsonString(file_) +
                     ",\n  \"records\": " + std::to_string(records_) + ",\n  \"terminals\": [";
  for (std::size_t i = 0; i < terminals_.size(); ++i) {
    const TerminalState& t = terminals_[i];
    json += std::string(i ? "," : "") + "\n    {\"address\": " + JsonString(t.address) +
            ", \"outcome\": " + JsonString(TerminalOutcome(t)) +
            ", \"acknowledged\": " + std::to_string(t.stored) +
            ", \"seconds\": " + Seconds(t.seconds) +
            ", \"failure\": " + (t.Failed() ? JsonString(t.failure) : std::string("null")) + "}";
  }
  return json + (terminals_.empty() ? "]\n}\n" : "\n  ]\n}\n");
}
