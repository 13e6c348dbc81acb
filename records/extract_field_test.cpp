#include "records/extract_field.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The field and the flag as a parser sees them: flag lowered before the call.
struct Extracted {
  std::string field;
  bool missing;
};

Extracted Take(std::string_view line, int n) {
  MissingFieldFlag = false;
  const std::string field(ExtractField(line, n, '\t'));
  return {field, MissingFieldFlag};
}

}  // namespace

TEST(ExtractField, ReturnsTheNthFieldCountedFromOne) {
  const std::string_view line = "1\t22\tthree\t";
  EXPECT_EQ(Take(line, 1).field, "1");
  EXPECT_EQ(Take(line, 2).field, "22");
  EXPECT_EQ(Take(line, 3).field, "three");
  EXPECT_EQ(Take(line, 4).field, "");  // after the trailing tab
  EXPECT_FALSE(Take(line, 4).missing);
  EXPECT_EQ(Take("a,b", 1).field, "a,b");  // only the separator divides
  MissingFieldFlag = false;
  EXPECT_EQ(ExtractField("a,b", 2, ','), "b");
}

TEST(ExtractField, EmptyFieldsBetweenSeparatorsArePresent) {
  const std::string_view line = "\t\tx\t\t";
  for (int n : {1, 2, 4, 5}) {
    const Extracted e = Take(line, n);
    EXPECT_EQ(e.field, "") << n;
    EXPECT_FALSE(e.missing) << n;
  }
  EXPECT_EQ(Take(line, 3).field, "x");
}

TEST(ExtractField, FlagRisesOnlyTwoOrMorePlacesBeyondTheLastField) {
  const std::string_view line = "a\tb\tc";  // three fields
  EXPECT_FALSE(Take(line, 3).missing);
  const Extracted onePast = Take(line, 4);
  EXPECT_EQ(onePast.field, "");
  EXPECT_FALSE(onePast.missing);
  for (int n : {5, 6, 100}) {
    const Extracted beyond = Take(line, n);
    EXPECT_EQ(beyond.field, "") << n;
    EXPECT_TRUE(beyond.missing) << n;
  }
  // An empty line holds one empty field.
  EXPECT_FALSE(Take("", 2).missing);
  EXPECT_TRUE(Take("", 3).missing);
}

TEST(ExtractField, NeverLowersTheFlag) {
  MissingFieldFlag = true;
  EXPECT_EQ(ExtractField("a\tb", 1, '\t'), "a");
  EXPECT_TRUE(MissingFieldFlag);
}

TEST(ExtractField, WalksLinesLongerThanSixteenBitPositions) {
  // 70000 characters in field 1: a 16-bit position counter would wrap.
  const std::string line = std::string(70000, 'x') + "\tend\t" + std::string(70000, 'y');
  EXPECT_EQ(Take(line, 2).field, "end");
  EXPECT_EQ(Take(line, 3).field.size(), 70000u);
  EXPECT_FALSE(Take(line, 4).missing);
  EXPECT_TRUE(Take(line, 5).missing);
}
