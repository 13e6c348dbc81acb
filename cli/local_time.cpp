#include "cli/local_time.h"

namespace {

std::string Formatted(std::time_t when, const char* format) {
  std::tm local{};
  localtime_r(&when, &local);
  char text[40];
  std::strftime(text, sizeof text, format, &local);
  return text;
}

}  // namespace

std::string LocalTimeText(std::time_t when) {
  return Formatted(when, "%Y-%m-%d %H:%M:%S");
}

std::string IsoLocalTime(std::time_t when) {
  std::string iso = Formatted(when, "%Y-%m-%dT%H:%M:%S%z");
  if (iso.size() > 2) iso.insert(iso.size() - 2, ":");  // +0100 -> +01:00
  return iso;
}
