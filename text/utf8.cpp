#include "text/utf8.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

bool IsContinuation(unsigned char byte) {
  return (byte & 0xC0) == 0x80;
}

// The range the second byte of a character must lie in, for the lead bytes
// whose second byte rules out overlong forms, surrogates or code points above
// U+10FFFF.
bool SecondByteFits(unsigned char lead, unsigned char second) {
  if (lead == 0xE0) return second >= 0xA0 && second <= 0xBF;
  if (lead == 0xED) return second >= 0x80 && second <= 0x9F;
  if (lead == 0xF0) return second >= 0x90 && second <= 0xBF;
  if (lead == 0xF4) return second >= 0x80 && second <= 0x8F;
  return IsContinuation(second);
}

// The length of the valid character at the start of `text`; 0 when none begins there.
std::size_t ValidCharacterAt(std::string_view text) {
  const auto lead = static_cast<unsigned char>(text[0]);
  if (lead < 0x80) return 1;
  if (lead < 0xC2 || lead > 0xF4) return 0;
  const std::size_t length = Utf8CharacterLength(lead);
  if (text.size() < length) return 0;
  if (!SecondByteFits(lead, static_cast<unsigned char>(text[1]))) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (!IsContinuation(static_cast<unsigned char>(text[i]))) return 0;
  }
  return length;
}

}  // namespace

bool IsAscii(std::string_view text) {
  // Eight bytes at a time: a file of plain text is checked at memory speed.
  std::size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    uint64_t word;
    std::memcpy(&word, text.data() + i, 8);
    if (word & 0x8080808080808080ULL) return false;
  }
  return std::all_of(text.begin() + static_cast<std::ptrdiff_t>(i), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::size_t ValidUtf8Prefix(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t length = ValidCharacterAt(text.substr(i));
    if (length == 0) break;
    i += length;
  }
  return i;
}

Utf8Scan ScanUtf8(std::string_view text) {
  Utf8Scan scan;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = ValidCharacterAt(text.substr(i));
    if (length == 0 && scan.firstInvalid == std::string_view::npos) scan.firstInvalid = i;
    scan.multiByte = scan.multiByte || length > 1;
    i += std::max<std::size_t>(length, 1);
  }
  return scan;
}

std::size_t Utf8CharacterLength(unsigned char lead) {
  if (lead >= 0xF0 && lead <= 0xF7) return 4;
  if (lead >= 0xE0) return lead <= 0xEF ? 3 : 1;
  if (lead >= 0xC0) return 2;
  return 1;
}

int CharactersIn(std::string_view utf8) {
  int count = 0;
  for (const char c : utf8) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return count;
}
