#include "text/utf8.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace {

TEST(Utf8, IsAsciiSeesAHighByteAtEveryPlaceOfItsWords) {
  EXPECT_TRUE(IsAscii(""));
  EXPECT_TRUE(IsAscii(std::string(17, '~')));
  // Whole words are checked eight bytes at a time and the rest one by one:
  // a high byte is seen in either part.
  for (std::size_t at = 0; at < 17; ++at) {
    std::string text(17, 'a');
    text[at] = '\x80';
    EXPECT_FALSE(IsAscii(text)) << at;
  }
}

TEST(Utf8, ScanFindsMultiByteCharactersAndTheFirstByteThatBeginsNone) {
  constexpr auto npos = std::string_view::npos;
  const struct {
    std::string text;
    bool multiByte;
    std::size_t firstInvalid;
  } cases[] = {
      {"plain", false, npos},
      {"Cr\xC3\xA8me", true, npos},
      {"Cr\xE8me", false, 2},                        // windows-1252: a lead byte before 'm'
      {"\xC3\xA8 and \xE8", true, 7},                // both: the first bad byte is named
      {"\xE2\x82\xAC\xF0\x9F\x8D\x8E", true, npos},  // three and four bytes
      {"\xC0\xAF", false, 0},                        // overlong
      {"\xED\xA0\x80", false, 0},                    // a surrogate half
      {"\xF4\x90\x80\x80", false, 0},                // above U+10FFFF
      {"ab\xE2\x82", false, 2},                      // cut short at the end
      {"\x80x", false, 0},                           // a stray continuation byte
  };
  for (const auto& c : cases) {
    const Utf8Scan scan = ScanUtf8(c.text);
    EXPECT_EQ(scan.multiByte, c.multiByte) << c.text;
    EXPECT_EQ(scan.firstInvalid, c.firstInvalid) << c.text;
    EXPECT_EQ(IsValidUtf8(c.text), c.firstInvalid == npos) << c.text;
  }
}

TEST(Utf8, CharactersAreCountedByTheBytesThatBeginThem) {
  const struct {
    std::string text;
    int characters;
  } cases[] = {
      {"", 0},
      {"abc", 3},
      {"Cr\xC3\xA8me br\xC3\xBBl\xC3\xA9"
       "e",
       12},
      {"\xC5\x81\xC3\xB3\x64\xC5\xBA", 4},  // Łódź
      {"\xF0\x9F\x8D\x8E!", 2},
  };
  for (const auto& c : cases) EXPECT_EQ(CharactersIn(c.text), c.characters) << c.text;
  const struct {
    unsigned char lead;
    std::size_t length;
  } leads[] = {{'a', 1},  {0x80, 1}, {0xC3, 2}, {0xE2, 3},
               {0xEF, 3}, {0xF0, 4}, {0xF7, 4}, {0xF8, 1}};
  for (const auto& l : leads) EXPECT_EQ(Utf8CharacterLength(l.lead), l.length) << int{l.lead};
}

}  // namespace
