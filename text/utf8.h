// UTF-8 as it is checked before a text is converted: whole characters of the
// shortest form, no surrogate halves, nothing above U+10FFFF.
#pragma once

#include <cstddef>
#include <string_view>

// True when `text` holds bytes below 0x80 only.
bool IsAscii(std::string_view text);

// The number of bytes at the start of `text` that are whole, valid UTF-8
// characters; text.size() for a text that is valid UTF-8 as a whole.
std::size_t ValidUtf8Prefix(std::string_view text);

inline bool IsValidUtf8(std::string_view text) {
  return ValidUtf8Prefix(text) == text.size();
}

// What a text holds of UTF-8: whether it has a valid character of two bytes
// or more anywhere, and the first byte that begins no valid character.
struct Utf8Scan {
  bool multiByte = false;
  std::size_t firstInvalid = std::string_view::npos;  // npos: none
};
Utf8Scan ScanUtf8(std::string_view text);

// The number of characters in valid UTF-8 `utf8`: the bytes that are no
// continuation byte (in other bytes, every lead byte counts as one and a
// stray continuation byte counts as none).
int CharactersIn(std::string_view utf8);

// The length in bytes of the character that `lead` begins: 1 for any byte
// that begins no longer one.
std::size_t Utf8CharacterLength(unsigned char lead);
