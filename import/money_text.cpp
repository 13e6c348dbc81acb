#include "import/money_text.h"

#include <array>
#include <cctype>

#include "records/download_file_error.h"

namespace {

constexpr std::array<std::string_view, 4> kSymbols = {"\xE2\x82\xAC", "$", "\xC2\xA3", "\xC2\xA5"};

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

bool IsCode(std::string_view text) {
  if (text.size() != 3) return false;
  for (const char c : text) {
    if (c < 'A' || c > 'Z') return false;
  }
  return true;
}

// Takes a currency symbol or code off either end of `text`.
std::string_view WithoutCurrency(std::string_view text) {
  for (const std::string_view symbol : kSymbols) {
    if (text.starts_with(symbol)) return Trimmed(text.substr(symbol.size()));
    if (text.ends_with(symbol)) return Trimmed(text.substr(0, text.size() - symbol.size()));
  }
  if (text.size() > 3 && IsCode(text.substr(0, 3))) return Trimmed(text.substr(3));
  if (text.size() > 3 && IsCode(text.substr(text.size() - 3)))
    return Trimmed(text.substr(0, text.size() - 3));
  return text;
}

bool AllDigits(std::string_view text) {
  for (const char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

// The whole part, with its thousands groups taken out; nothing when they are
// not groups of three after a first group of one to three digits.
std::optional<std::string> WholePart(std::string_view text, char group) {
  std::string digits;
  std::size_t start = 0;
  bool first = true;
  while (true) {
    const std::size_t end = text.find(group, start);
    const std::string_view part = text.substr(start, end - start);
    const bool sized = first ? !part.empty() && (end == std::string_view::npos || part.size() <= 3)
                             : part.size() == 3;
    if (!sized || !AllDigits(part)) return std::nullopt;
    digits += part;
    if (end == std::string_view::npos) return digits;
    start = end + 1;
    first = false;
  }
}

Cents Refused(std::string_view text, const std::string& why) {
  return Cents{std::nullopt, Quoted(text) + " " + why};
}

}  // namespace

Cents MoneyToCents(std::string_view text, char decimal) {
  const char group = decimal == ',' ? '.' : ',';
  std::string_view number = Trimmed(text);
  bool negative = number.starts_with('-');
  if (negative) number = Trimmed(number.substr(1));
  number = WithoutCurrency(number);
  if (!negative && number.starts_with('-')) {
    negative = true;
    number = Trimmed(number.substr(1));
  }
  if (number.empty()) return Refused(text, "holds no price");
  const std::size_t point = number.rfind(decimal);
  const std::string_view whole = number.substr(0, point);
  const std::string_view fraction =
      point == std::string_view::npos ? std::string_view{} : number.substr(point + 1);
  if (fraction.size() > 2 && AllDigits(fraction)) {
    return Refused(text, "has " + std::to_string(fraction.size()) +
                             " decimals: a price is kept in whole cents and is never rounded");
  }
  const auto digits = WholePart(whole, group);
  if (!digits || !AllDigits(fraction) || (point != std::string_view::npos && fraction.empty()) ||
      whole.find(decimal) != std::string_view::npos) {
    return Refused(text, std::string("is not a price with the decimal ") +
                             (decimal == ',' ? "comma" : "point"));
  }
  if (digits->size() > 12) return Refused(text, "is too large for a price");
  int64_t cents = std::stoll(*digits) * 100;
  if (!fraction.empty())
    cents += std::stoll(std::string(fraction)) * (fraction.size() == 1 ? 10 : 1);
  return Cents{negative ? -cents : cents, {}};
}
