#include "text/str_to_int.h"

#include <gtest/gtest.h>

#include <stdexcept>

TEST(StrToInt, AcceptsDecimalWithLeadingBlanksAndSign) {
  EXPECT_EQ(TryStrToInt("12"), 12);
  EXPECT_EQ(TryStrToInt("  12"), 12);
  EXPECT_EQ(TryStrToInt("+7"), 7);
  EXPECT_EQ(TryStrToInt(" -1"), -1);
  EXPECT_EQ(TryStrToInt("0"), 0);
  EXPECT_EQ(TryStrToInt("007"), 7);
}

TEST(StrToInt, AcceptsEveryHexadecimalPrefix) {
  EXPECT_EQ(TryStrToInt("$1F"), 31);
  EXPECT_EQ(TryStrToInt("x1f"), 31);
  EXPECT_EQ(TryStrToInt("X10"), 16);
  EXPECT_EQ(TryStrToInt("0x10"), 16);
  EXPECT_EQ(TryStrToInt("0XfF"), 255);
  EXPECT_EQ(TryStrToInt("-$10"), -16);
}

TEST(StrToInt, KeepsToTheSigned32BitRange) {
  EXPECT_EQ(TryStrToInt("2147483647"), 2147483647);
  EXPECT_EQ(TryStrToInt("-2147483648"), INT32_MIN);
  EXPECT_EQ(TryStrToInt("2147483648"), std::nullopt);
  EXPECT_EQ(TryStrToInt("-2147483649"), std::nullopt);
  EXPECT_EQ(TryStrToInt("$7FFFFFFF"), 2147483647);
  EXPECT_EQ(TryStrToInt("$80000000"), std::nullopt);
  EXPECT_EQ(TryStrToInt("99999999999999999999999"), std::nullopt);
}

TEST(StrToInt, RefusesEverythingElse) {
  for (const char* text : {"", " ", "12 ", "1 2", "+", "-", "$", "0x", "12a", "a12", "0x1g", "1.5",
                           "\t12", "--1", "+-1", "$-1", "1e3"}) {
    EXPECT_EQ(TryStrToInt(text), std::nullopt) << "'" << text << "'";
  }
}

TEST(StrToInt, FailureNamesTheText) {
  EXPECT_EQ(StrToInt(" 42"), 42);
  try {
    StrToInt("20404x");
    FAIL() << "no failure";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "'20404x' is not a valid integer value");
  }
}
