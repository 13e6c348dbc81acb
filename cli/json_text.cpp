#include "cli/json_text.h"

#include <cstdio>

namespace {

std::string Escaped(unsigned code) {
  char escape[8];
  std::snprintf(escape, sizeof escape, "\\u%04x", code);
  return escape;
}

}  // namespace

std::size_t Utf8Length(const std::string& text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  const std::size_t length = lead >= 0xF0 && lead <= 0xF4   ? 4
                             : lead >= 0xE0                 ? 3
                             : lead >= 0xC2 && lead <= 0xDF ? 2
                                                            : 0;
  if (length == 0 || at + length > text.size()) return 0;
  // The second byte's range rules out overlong forms, surrogates and code
  // points past U+10FFFF.
  const auto second = static_cast<unsigned char>(text[at + 1]);
  const unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
  const unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
  if (second < low || second > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) return 0;
  }
  return length;
}

std::string JsonString(const std::string& text) {
  std::string json = "\"";
  for (std::size_t at = 0; at < text.size();) {
    const auto byte = static_cast<unsigned char>(text[at]);
    if (byte == '"' || byte == '\\') {
      json += '\\';
      json += text[at++];
    } else if (byte < 0x20 || byte == 0x7F) {
      json += Escaped(byte);
      ++at;
    } else if (byte < 0x80) {
      json += text[at++];
    } else if (const std::size_t length = Utf8Length(text, at)) {
      json.append(text, at, length);
      at += length;
    } else {
      json += Escaped(byte);
      ++at;
    }
  }
  return json + "\"";
}
