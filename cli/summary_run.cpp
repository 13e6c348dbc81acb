#include "cli/summary_run.h"

#include <utility>

#include "cli/json_text.h"

namespace {

std::string Formatted(std::time_t when, const char* format) {
  std::tm local{};
  localtime_r(&when, &local);
  char text[40];
  std::strftime(text, sizeof text, format, &local);
  return text;
}

// "2026-12-08T23:40:05+01:00": local time with its offset from UTC.
std::string IsoLocalTime(std::time_t when) {
  std::string iso = Formatted(when, "%Y-%m-%dT%H:%M:%S%z");
  if (iso.size() > 2) iso.insert(iso.size() - 2, ":");  // +0100 -> +01:00
  return iso;
}

}  // namespace

std::string RunNames::NameOf(const std::string& address) const {
  const auto found = terminals.find(address);
  return found == terminals.end() ? "" : found->second;
}

void SummaryRun::Finish(std::string kindName, std::string filePath, uint32_t recordCount) {
  ended = std::time(nullptr);
  kind = std::move(kindName);
  file = std::move(filePath);
  records = recordCount;
}

std::string SummaryRun::StartedText() const {
  return Formatted(started, "%Y-%m-%d %H:%M:%S");
}

std::string SummaryRun::SetAsideLines() const {
  std::string lines;
  for (const auto& setting : setAside) lines += "setting set aside: " + setting.Message() + "\n";
  return lines;
}

std::string SummaryRun::JsonFields() const {
  std::string json = "  \"started\": " + JsonString(IsoLocalTime(started)) +
                     ",\n  \"ended\": " + JsonString(IsoLocalTime(ended)) +
                     ",\n  \"kind\": " + JsonString(kind) + ",\n  \"file\": " + JsonString(file) +
                     ",\n  \"records\": " + std::to_string(records) +
                     ",\n  \"ran\": " + JsonString(names.ran) +
                     ",\n  \"shop\": " + JsonStringOrNull(names.shop) + ",\n";
  if (setAside.empty()) return json;
  json += "  \"set_aside\": [";
  for (std::size_t i = 0; i < setAside.size(); ++i) {
    json += std::string(i ? ", " : "") + "{\"setting\": " + JsonString(setAside[i].key) +
            ", \"value\": " + JsonString(setAside[i].value) +
            ", \"used\": " + JsonString(setAside[i].used) + "}";
  }
  return json + "],\n";
}

std::string SummaryRun::NameJson(const std::string& address) const {
  return JsonStringOrNull(names.NameOf(address));
}
