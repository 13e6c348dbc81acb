// Text written into a JSON document: a string as a quoted JSON string; and
// the UTF-8 check that writing and reading share.
#pragma once

#include <cstddef>
#include <string>

// The length (2 to 4) of the well-formed multi-byte UTF-8 sequence that
// starts at byte `at` of `text`, or 0 when none does (also at an ASCII
// byte): no overlong forms, surrogates or code points past U+10FFFF.
std::size_t Utf8Length(const std::string& text, std::size_t at);

// `text` quoted, with quotes, backslashes and control characters escaped.
// Bytes that do not form UTF-8 (an address or a path in a legacy 8-bit
// encoding) are taken as Latin-1, so the document is always valid UTF-8.
std::string JsonString(const std::string& text);

// JsonString of `text`, or null for an empty text (a value that is not there).
inline std::string JsonStringOrNull(const std::string& text) {
  return text.empty() ? std::string("null") : JsonString(text);
}
