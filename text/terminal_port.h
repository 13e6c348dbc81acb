// The port of the terminals as the operator types it: a decimal number from
// 1 to 65535, checked before anything is saved or dialled.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The port the text names, or nothing for anything but 1 to 65535 written in
// decimal digits (no sign, no blanks, no hexadecimal).
std::optional<uint16_t> ParsePort(std::string_view text);

// The message that refuses a port text, naming it.
std::string BadPortMessage(std::string_view text);
