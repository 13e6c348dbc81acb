#include "tests/e2e/sample_files.h"

namespace {

std::string Join(const std::vector<std::string>& columns) {
  std::string line;
  for (const auto& column : columns) line += (line.empty() ? "" : "\t") + column;
  return line;
}

std::string N(long long value) {
  return std::to_string(value);
}

}  // namespace

std::vector<std::string> PluLines(int count) {
  std::vector<std::string> lines;
  for (int plu = 1; plu <= count; ++plu) {
    lines.push_back(
        Join({N(plu % 3 + 1), N(plu), N(plu % 256), "Item " + N(plu) + ", fresh", N(99 + plu * 7),
              N(-plu), N(plu % 65536), N(1000000 + plu), N(plu % 10)}));
  }
  return lines;
}

std::string SpeedkeyLine() {
  std::vector<std::string> keys;
  for (int key = 1; key <= 144; ++key) keys.push_back(N(key % 5 == 0 ? -key : key * 1000));
  return Join(keys);
}

std::string FileText(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\r\n";
  return text;
}
