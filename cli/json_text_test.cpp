#include "cli/json_text.h"

#include <gtest/gtest.h>

namespace {

TEST(JsonText, QuotesAndEscapesEveryKindOfText) {
  const struct {
    const char* name;
    std::string text;
    std::string json;
  } cases[] = {
      {"plain", "127.0.0.2", "\"127.0.0.2\""},
      {"empty", "", "\"\""},
      {"quote and backslash", "say \"C:\\x\"", "\"say \\\"C:\\\\x\\\"\""},
      {"control characters", "a\tb\nc\x7f", "\"a\\u0009b\\u000ac\\u007f\""},
      {"UTF-8 kept", "caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80",
       "\"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80\""},
      {"a Latin-1 byte", "caf\xe9", "\"caf\\u00e9\""},
      {"a cut sequence", "\xe2\x82", "\"\\u00e2\\u0082\""},
      {"an overlong form", "\xc0\xaf\xe0\x80\xaf", "\"\\u00c0\\u00af\\u00e0\\u0080\\u00af\""},
      {"a surrogate", "\xed\xa0\x80", "\"\\u00ed\\u00a0\\u0080\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(JsonString(c.text), c.json);
  }
}

}  // namespace
