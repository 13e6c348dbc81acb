// Text written into a JSON document: a string as a quoted JSON string.
#pragma once

#include <string>

// `text` quoted, with quotes, backslashes and control characters escaped.
// Bytes that do not form UTF-8 (an address or a path in a legacy 8-bit
// encoding) are taken as Latin-1, so the document is always valid UTF-8.
std::string JsonString(const std::string& text);

// JsonString of `text`, or null for an empty text (a value that is not there).
inline std::string JsonStringOrNull(const std::string& text) {
  return text.empty() ? std::string("null") : JsonString(text);
}
