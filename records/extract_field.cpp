#include "records/extract_field.h"

#include <cstddef>

bool MissingFieldFlag = false;

std::string_view ExtractField(std::string_view line, int n, char separator) {
  // Offsets are std::size_t, so a line of any length is walked to its end.
  std::size_t start = 0;
  for (int field = 1;; ++field) {
    const std::size_t end = line.find(separator, start);
    if (field >= n) return line.substr(start, end == std::string_view::npos ? end : end - start);
    if (end == std::string_view::npos) {
      // The line has `field` fields: the one past them is empty but present.
      if (n > field + 1) MissingFieldFlag = true;
      return {};
    }
    start = end + 1;
  }
}
