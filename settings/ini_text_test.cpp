#include "settings/ini_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

TEST(IniText, FindReadsTheFirstKeyOfTheFirstSectionOfItsName) {
  const std::string text =
      "\xEF\xBB\xBF"
      "Loose=1\r\n"
      "[terminal] ; the list\r\n"
      "; Port=1\r\n"
      "  port = \"20404\" \r\n"
      "PORT=20405\r\n"
      "Name='a b'\r\n"
      "Half=\"x\r\n"
      "=nameless\r\n"
      "[Terminal]\r\n"
      "Other=2\r\n"
      "[Empty]";
  const IniText ini(text);
  const struct {
    const char* section;
    const char* key;
    std::optional<std::string> value;
  } cases[] = {
      {"Terminal", "Port", "20404"},  // blanks and one pair of quotes go, case is no matter
      {"TERMINAL", "name", "a b"},    // single quotes too
      {"Terminal", "Half", "\"x"},    // a quote without its pair stays
      {"Terminal", "Other", {}},      // the second section of a name is never read
      {"Terminal", "", {}},           // a line without a name holds no key
      {"Terminal", "; Port", {}},     // nor a comment line
      {"", "Loose", {}},              // the lines before any header are in no section
      {"Empty", "Anything", {}},      // a last line without an end is still a header
      {"Missing", "Port", {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ini.Find(c.section, c.key), c.value) << c.section << "/" << c.key;
  }
  EXPECT_EQ(ini.Keys("terminal"), (std::vector<std::string>{"port", "PORT", "Name", "Half"}));
  std::vector<std::string> visited;
  ini.ForEachKey("Terminal", [&](std::string_view name, std::string_view value) {
    visited.push_back(std::string(name) + "=" + std::string(value));
  });
  EXPECT_EQ(visited,
            (std::vector<std::string>{"port=20404", "PORT=20405", "Name=a b", "Half=\"x"}));
  EXPECT_EQ(ini.Bytes(), text);  // read and written back, byte for byte
}

// Each edit changes one line or adds one, and every other byte stays.
TEST(IniText, SetChangesOrAddsOneLineAndKeepsEveryOtherByte) {
  const struct {
    const char* why;
    std::string before;
    const char* section;
    const char* key;
    std::string after;
  } cases[] = {
      {"in place, as the file spells the name", "[T]\nA=1\n;c\n  port = 1\n", "t", "PORT",
       "[T]\nA=1\n;c\nport=9\n"},
      {"at the end of its section, before the blank lines that part it from the next",
       "[T]\r\nA=1\r\n\r\n\r\n[U]\r\nB=2\r\n", "T", "Port",
       "[T]\r\nA=1\r\nPort=9\r\n\r\n\r\n[U]\r\nB=2\r\n"},
      {"a new section at the end, after a last line that had no end", "[T]\rA=1", "U", "Port",
       "[T]\rA=1\r[U]\rPort=9\r"},
      {"into the first section of a name only", "[T]\nA=1\n[T]\nPort=1\n", "T", "Port",
       "[T]\nA=1\nPort=9\n[T]\nPort=1\n"},
      {"a text without a line end is written on with CR LF", "", "T", "Port", "[T]\r\nPort=9\r\n"},
      {"the byte order mark stays first", "\xEF\xBB\xBF[T]\n", "T", "Port",
       "\xEF\xBB\xBF[T]\nPort=9\n"},
  };
  for (const auto& c : cases) {
    IniText ini(c.before);
    ini.Set(c.section, c.key, "9");
    EXPECT_EQ(ini.Bytes(), c.after) << c.why;
    EXPECT_EQ(ini.Find(c.section, c.key), "9") << c.why;
  }
}

// Keys added to a section that was already looked up are found at once,
// and set again in place rather than added twice.
TEST(IniText, AKeyAddedAfterALookupIsFoundAndSetInPlace) {
  IniText ini("[T]\nA=1\n\n[U]\n");
  ASSERT_EQ(ini.Find("T", "A"), "1");
  ini.Set("T", "B", "2");
  ini.Set("T", "b", "3");
  ini.Set("T", "A", "4");
  EXPECT_EQ(ini.Bytes(), "[T]\nA=4\nB=3\n\n[U]\n");
}

}  // namespace
