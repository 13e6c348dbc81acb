// Prices in currency into whole cents, never rounded.
#include "import/money_text.h"

#include <gtest/gtest.h>

namespace {

TEST(MoneyText, TurnsPricesIntoWholeCents) {
  const struct {
    std::string text;
    char decimal;
    int64_t cents;
  } cases[] = {
      {"1,99", ',', 199},
      {"1.99", '.', 199},
      {"\xE2\x82\xAC 1,99", ',', 199},
      {"1.99 EUR", '.', 199},
      {"$1.99", '.', 199},
      {"1,99\xE2\x82\xAC", ',', 199},
      {"\xC2\xA3"
       "12",
       '.', 1200},
      {"12", ',', 1200},
      {"0,5", ',', 50},
      {"1.234,50", ',', 123450},
      {"1,234.50", '.', 123450},
      {"1,995", '.', 199500},
      {"-0,50 \xE2\x82\xAC", ',', -50},
      {"\xE2\x82\xAC -0,50", ',', -50},
      {" 3,00 ", ',', 300},
  };
  for (const auto& c : cases) {
    const Cents cents = MoneyToCents(c.text, c.decimal);
    EXPECT_EQ(cents.value, c.cents) << c.text << ": " << cents.reason;
  }
}

TEST(MoneyText, RefusesWhatItWouldHaveToGuessOrRound) {
  const struct {
    std::string text;
    char decimal;
    std::string reason;
  } cases[] = {
      {"1,995", ',', "'1,995' has 3 decimals: a price is kept in whole cents and is never rounded"},
      {"1.99", ',', "'1.99' is not a price with the decimal comma"},
      {"1,99", '.', "'1,99' is not a price with the decimal point"},
      {"abc", '.', "'abc' is not a price with the decimal point"},
      {"", ',', "'' holds no price"},
      {"EUR", ',', "'EUR' is not a price with the decimal comma"},
      {"1,", ',', "'1,' is not a price with the decimal comma"},
      {"1.2.3", '.', "'1.2.3' is not a price with the decimal point"},
      {"12345678901234", '.', "'12345678901234' is too large for a price"},
  };
  for (const auto& c : cases) {
    const Cents cents = MoneyToCents(c.text, c.decimal);
    EXPECT_FALSE(cents.value) << c.text;
    EXPECT_EQ(cents.reason, c.reason) << c.text;
  }
}

}  // namespace
