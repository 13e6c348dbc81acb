#include "cli/json_reader.h"

#include <gtest/gtest.h>

#include <string>

#include "cli/json_text.h"

namespace {

// A value written back in a canonical form, to compare what was read.
std::string Written(const JsonValue& v) {
  switch (v.type) {
    case JsonValue::Type::Null:
      return "null";
    case JsonValue::Type::Boolean:
      return v.boolean ? "true" : "false";
    case JsonValue::Type::Number: {
      char text[32];
      std::snprintf(text, sizeof text, "%g", v.number);
      return text;
    }
    case JsonValue::Type::String:
      return JsonString(v.text);
    case JsonValue::Type::Array: {
      std::string json = "[";
      for (const JsonValue& item : v.items) json += (json.size() > 1 ? "," : "") + Written(item);
      return json + "]";
    }
    case JsonValue::Type::Object:
      break;
  }
  std::string json = "{";
  for (const JsonMember& m : v.members) {
    json += (json.size() > 1 ? "," : "") + JsonString(m.key) + ":" + Written(m.value);
  }
  return json + "}";
}

TEST(JsonReader, ReadsEveryKindOfValue) {
  const struct {
    std::string json;
    std::string read;
  } cases[] = {
      {" {\"a\" : [1, -0.5, 2e3, 1E-2, true, false, null], \"b\": {}}\r\n",
       "{\"a\":[1,-0.5,2000,0.01,true,false,null],\"b\":{}}"},
      {"\"\\\"\\\\\\/\\b\\f\\n\\r\\t\"", "\"\\\"\\\\/\\u0008\\u000c\\u000a\\u000d\\u0009\""},
      {"\"caf\\u00e9 \\u20ac \\ud83d\\ude00\"", "\"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80\""},
      {"\"caf\xc3\xa9\"", "\"caf\xc3\xa9\""},
      {"[]", "[]"},
      {"0", "0"},
      {std::string(64, '[') + std::string(64, ']'), std::string(64, '[') + std::string(64, ']')},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.json);
    EXPECT_EQ(Written(ReadJson(c.json)), c.read);
  }
}

TEST(JsonReader, RefusesWhatTheGrammarDoesNotAllowAndSaysWhere) {
  const struct {
    std::string json;
    std::string error;
  } cases[] = {
      {"", "line 1, column 1: the document ends where a value was expected"},
      {"{\"a\": 1,}", "line 1, column 9: a key in double quotes was expected"},
      {"[1,]", "line 1, column 4: not a value"},
      {"[1 2]", "line 1, column 4: a comma or ] was expected"},
      {"{\"a\" 1}", "line 1, column 6: a colon was expected after the key"},
      {"{\n  \"a\": 1,\n  \"a\": 2}", "line 3, column 3: the key \"a\" is given twice"},
      {"{} {}", "line 1, column 4: something follows the value"},
      {"// note\n{}", "line 1, column 1: not a value"},
      {"[01]", "line 1, column 2: a number with a leading zero"},
      {"[1.]", "line 1, column 4: a decimal point without digits after it"},
      {"[1e]", "line 1, column 4: an exponent without digits"},
      {"[1e999]", "line 1, column 2: a number out of range"},
      {"[-]", "line 1, column 3: not a value"},
      {"[tru]", "line 1, column 2: not a value"},
      {"\"a\tb\"", "line 1, column 3: a control character in a string"},
      {"\"caf\xe9\"", "line 1, column 5: a byte that is not UTF-8"},
      {"\"\\x\"", "line 1, column 3: an unknown escape \\x"},
      {"\"\\u12g4\"", "line 1, column 6: \\u is not followed by four hex digits"},
      {"\"\\ud83d\"", "line 1, column 8: a high surrogate without a low one"},
      {"\"\\ude00\"", "line 1, column 8: a low surrogate without a high one"},
      {"\"open", "line 1, column 6: the document ends in a string"},
      {std::string(65, '['), "line 1, column 65: nested more than 64 deep"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.json);
    try {
      ReadJson(c.json);
      ADD_FAILURE() << "read";
    } catch (const JsonError& e) {
      EXPECT_EQ(std::string(e.what()), c.error);
    }
  }
}

}  // namespace
