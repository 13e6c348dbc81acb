#include "records/money_text.h"

#include <cstdlib>

#include "records/download_file_error.h"

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

std::optional<std::string> CentsOfMoney(std::string_view typed) {
  std::string_view rest = typed;
  const bool negative = !rest.empty() && rest.front() == '-';
  if (negative || (!rest.empty() && rest.front() == '+')) rest.remove_prefix(1);
  const std::size_t point = rest.find('.');
  const std::string_view units = rest.substr(0, point);
  std::string decimals(point == std::string_view::npos ? "" : rest.substr(point + 1));
  if ((units.empty() && decimals.empty()) || units.size() > 12 || decimals.size() > 2) {
    return std::nullopt;
  }
  for (const std::string_view digits : {units, std::string_view(decimals)}) {
    for (const char c : digits) {
      if (!IsDigit(c)) return std::nullopt;
    }
  }
  if (point != std::string_view::npos && decimals.empty()) return std::nullopt;
  decimals.resize(2, '0');
  const int64_t cents = std::strtoll(std::string(units).c_str(), nullptr, 10) * 100 +
                        std::strtoll(decimals.c_str(), nullptr, 10);
  return std::to_string(negative ? -cents : cents);
}

std::string MoneyRefusal(std::string_view typed) {
  return Quoted(typed) +
         " is not an amount of money: digits, then a point and at most two decimals, as 12.30";
}
