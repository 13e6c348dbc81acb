#include "termlink/trace.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace termlink {

void Trace(std::string_view address, std::string_view text) {
  static const bool enabled = [] {
    const char* value = std::getenv("TERMLINK_TRACE");
    return value && *value;
  }();
  if (!enabled) return;
  std::string line = "termlink: " + std::string(address) + ": " + std::string(text) + "\n";
  std::fputs(line.c_str(), stderr);
}

}  // namespace termlink
