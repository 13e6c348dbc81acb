// The program's one conversion of text to a 32-bit integer, shared by the
// settings file, the download files and the connection set-up: leading blanks,
// an optional sign, then decimal digits or hexadecimal digits after "$", "x",
// "X", "0x" or "0X"; the value must lie in the signed 32-bit range. Anything
// else fails, trailing blanks and the empty text included.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

std::optional<int32_t> TryStrToInt(std::string_view text);

// As TryStrToInt, but a failure throws std::runtime_error with the text
// "'<text>' is not a valid integer value".
int32_t StrToInt(std::string_view text);
