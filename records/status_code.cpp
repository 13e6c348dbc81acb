#include "records/status_code.h"

#include <cstring>

std::string StatusCode(const char* field, std::size_t size) {
  const std::size_t length = strnlen(field, size);
  const char* colon = static_cast<const char*>(std::memchr(field, ':', length));
  if (colon == nullptr) return {};
  const std::size_t at = static_cast<std::size_t>(colon - field);
  auto charAt = [&](std::size_t i) { return i < length ? field[i] : '\0'; };
  return std::string{charAt(at + 2), charAt(at + 3)};
}

std::string RefusalText(const char* field, std::size_t size) {
  static constexpr char kRefusal[] = "ERR:";
  // Kept to one short line of text: it is shown wherever a failure is reported.
  static constexpr std::size_t kLongest = 64;
  std::string text(field, strnlen(field, size));
  if (text.rfind(kRefusal, 0) != 0) return {};
  if (text.size() > kLongest) text.resize(kLongest);
  for (char& c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) c = ' ';
  }
  return text;
}
