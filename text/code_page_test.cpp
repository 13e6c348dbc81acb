#include "text/code_page.h"

#include <gtest/gtest.h>

#include "text/utf8.h"

namespace {

CodePage Page(const char* name) {
  const auto page = CodePage::Named(name);
  EXPECT_TRUE(page) << name;
  return page.value_or(CodePage());
}

}  // namespace

TEST(CodePage, KnowsTheNamesIconvKnowsThatKeepAsciiAndItsControlCharacters) {
  const struct {
    const char* name;
    bool known;
  } cases[] = {
      {"windows-1252", true},
      {"WINDOWS-1252", true},
      {"ISO-8859-2", true},
      {"CP437", true},  // its graphics for 1 to 31 are not what iconv maps
      {"ISO-8859-1", true},
      {"cp1251", true},
      {"UTF-8", true},
      {"none", true},
      {"None", true},
      {"klingon", false},
      {"", false},
      {"UTF-16", false},
      {"IBM037", false},
      {"CP1252//TRANSLIT", false},
      {"CP1252//IGNORE", false},
      // Letters below 32.
      {"TCVN", false},
      {"TCVN5712-1", false},
      {"VISCII", false},
      // 0x1A, 0x1C and DEL moved.
      {"IBM943", false},
      // Shift states: ESC, SO and SI are taken as shifts, "+" as a shift in UTF-7.
      {"ISO-2022-JP", false},
      {"ISO-2022-JP-2", false},
      {"ISO-2022-KR", false},
      {"ISO-2022-CN-EXT", false},
      {"UTF-7", false},
  };
  for (const auto& c : cases) EXPECT_EQ(CodePage::Named(c.name).has_value(), c.known) << c.name;
  EXPECT_EQ(CodePage().Name(), "windows-1252");
}

TEST(CodePage, TurnsUtf8IntoTheSetOrNamesTheFirstCharacterItLacks) {
  const struct {
    const char* set;
    std::string utf8;
    std::string bytes;    // when converted
    std::string missing;  // the refused character, else empty
    int position;
  } cases[] = {
      {"windows-1252", "Cr\u00e8me br\u00fbl\u00e9e",
       "Cr\xe8me br\xfbl\xe9"
       "e",
       "", 0},
      {"windows-1252", "5 \u20ac", "5 \x80", "", 0},
      {"windows-1252", "\u00e0 \u0141\u00f3d\u017a", "", "\u0141", 3},
      {"windows-1252", "\xe2\x82", "", "\xe2", 1},  // cut character
      {"ISO-8859-1", "5 \u20ac", "", "\u20ac", 3},
      {"ISO-8859-2", "\u0141\u00f3d\u017a",
       "\xa3\xf3"
       "d\xbc",
       "", 0},
      {"ISO-8859-15", "5 \u20ac", "5 \xa4", "", 0},
      {"CP437", "\u00e9t\u00e9", "\x82t\x82", "", 0},
      {"windows-1251", "\u041c\u0438\u0440 \U0001F600", "", "\U0001F600", 5},
      {"none", "Cr\u00e8me", "Cr\u00e8me", "", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.set) + ": " + c.utf8);
    const TerminalText text = Page(c.set).FromUtf8(c.utf8);
    EXPECT_EQ(text.bytes, c.bytes);
    ASSERT_EQ(text.missing.has_value(), !c.missing.empty());
    if (!text.missing) continue;
    EXPECT_EQ(text.missing->character, c.missing);
    EXPECT_EQ(text.missing->position, c.position);
  }
}

TEST(CodePage, TurnsTheTerminalsBytesIntoUtf8WithUndefinedBytesReplaced) {
  const struct {
    const char* set;
    std::string bytes;
    std::string utf8;
  } cases[] = {
      {"windows-1252",
       "Cr\xe8me br\xfbl\xe9"
       "e",
       "Cr\u00e8me br\u00fbl\u00e9e"},
      {"windows-1252", "\x80\x81\x8d\x8f\x90\x9d\x9f",
       "\u20ac\ufffd\ufffd\ufffd\ufffd\ufffd\u0178"},
      {"ISO-8859-2",
       "\xa3\xf3"
       "d\xbc",
       "\u0141\u00f3d\u017a"},
      {"CP437", "\x82t\xdb", "\u00e9t\u2588"},
      {"UTF-8", "a\xc3", "a\ufffd"},
      {"none", "\xe8\x81", "\xe8\x81"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.set);
    EXPECT_EQ(Page(c.set).ToUtf8(c.bytes), c.utf8);
  }
}

TEST(Utf8, ValidPrefixStopsAtTheFirstBadOrCutCharacter) {
  const struct {
    std::string text;
    std::size_t valid;
  } cases[] = {
      {"abc", 3},
      {"\u00e8\u20ac\U0001F600", 9},
      {"a\xc3", 1},             // cut
      {"a\xc0\xa9", 1},         // overlong
      {"\xe0\x80\x80", 0},      // overlong
      {"\xed\xa0\x80", 0},      // surrogate half
      {"\xf4\x90\x80\x80", 0},  // above U+10FFFF
      {"\xe8 bad", 0},          // windows-1252
      {"ok\xff", 2},
  };
  for (const auto& c : cases) EXPECT_EQ(ValidUtf8Prefix(c.text), c.valid) << c.text;
}
