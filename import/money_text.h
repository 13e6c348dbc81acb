// A price as a shop system's export writes it, "1,99", "€ 1,99", "1.99 EUR",
// "$1.99", "-0,50 €", turned into whole cents as a download file keeps it.
// Nothing is ever rounded: a price with more than two decimals is refused
// with the reason, and so is a separator the export's decimal rule does not
// allow where it stands.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct Cents {
  std::optional<int64_t> value;  // nothing when the text is refused
  std::string reason;            // why it is refused
};

// `decimal` is ',' or '.'; the other of the two may group thousands in
// threes before it ("1.234,50" with a decimal comma). A currency symbol
// (€ $ £ ¥) or a three-letter code ("EUR") may stand before or after the
// number, with or without a blank.
Cents MoneyToCents(std::string_view text, char decimal);
