#include "cli/json_reader.h"

#include <charconv>
#include <cstdint>
#include <utility>

#include "cli/json_text.h"

namespace {

constexpr int kMaxDepth = 64;

class Reader {
 public:
  explicit Reader(const std::string& text) : text_(text) {}

  JsonValue Document() {
    SkipSpace();
    JsonValue value = Value(0);
    SkipSpace();
    if (at_ < text_.size()) Fail("something follows the value");
    return value;
  }

 private:
  [[noreturn]] void Fail(const std::string& what) const {
    std::size_t line = 1;
    std::size_t column = 1;
    for (std::size_t i = 0; i < at_ && i < text_.size(); ++i) {
      column = text_[i] == '\n' ? 1 : column + 1;
      line += text_[i] == '\n' ? 1 : 0;
    }
    throw JsonError("line " + std::to_string(line) + ", column " + std::to_string(column) + ": " +
                    what);
  }

  bool AtEnd() const { return at_ >= text_.size(); }
  char Next() const { return AtEnd() ? '\0' : text_[at_]; }

  void SkipSpace() {
    while (!AtEnd() && (Next() == ' ' || Next() == '\t' || Next() == '\n' || Next() == '\r')) ++at_;
  }

  void Expect(char c, const char* what) {
    if (Next() != c) Fail(what);
    ++at_;
  }

  JsonValue Value(int depth) {
    if (AtEnd()) Fail("the document ends where a value was expected");
    JsonValue value;
    switch (Next()) {
      case '{':
        if (depth >= kMaxDepth) Fail("nested more than 64 deep");
        return Object(depth + 1);
      case '[':
        if (depth >= kMaxDepth) Fail("nested more than 64 deep");
        return Array(depth + 1);
      case '"':
        value.type = JsonValue::Type::String;
        value.text = String();
        return value;
      case 't':
      case 'f':
        value.type = JsonValue::Type::Boolean;
        value.boolean = Next() == 't';
        Literal(value.boolean ? "true" : "false");
        return value;
      case 'n':
        Literal("null");
        return value;
      default:
        value.type = JsonValue::Type::Number;
        value.number = Number();
        return value;
    }
  }

  void Literal(const std::string& word) {
    if (text_.compare(at_, word.size(), word) != 0) Fail("not a value");
    at_ += word.size();
  }

  JsonValue Object(int depth) {
    JsonValue object;
    object.type = JsonValue::Type::Object;
    ++at_;
    SkipSpace();
    if (Next() == '}') {
      ++at_;
      return object;
    }
    for (;;) {
      SkipSpace();
      if (Next() != '"') Fail("a key in double quotes was expected");
      const std::size_t keyAt = at_;
      std::string key = String();
      if (object.Find(key)) {
        at_ = keyAt;
        Fail("the key \"" + key + "\" is given twice");
      }
      SkipSpace();
      Expect(':', "a colon was expected after the key");
      SkipSpace();
      object.members.push_back({std::move(key), Value(depth)});
      SkipSpace();
      if (Next() == '}') break;
      Expect(',', "a comma or } was expected");
    }
    ++at_;
    return object;
  }

  JsonValue Array(int depth) {
    JsonValue array;
    array.type = JsonValue::Type::Array;
    ++at_;
    SkipSpace();
    if (Next() == ']') {
      ++at_;
      return array;
    }
    for (;;) {
      SkipSpace();
      array.items.push_back(Value(depth));
      SkipSpace();
      if (Next() == ']') break;
      Expect(',', "a comma or ] was expected");
    }
    ++at_;
    return array;
  }

  // Four hex digits after "\u".
  uint32_t Hex4() {
    uint32_t code = 0;
    for (int i = 0; i < 4; ++i, ++at_) {
      const char c = Next();
      const int digit = c >= '0' && c <= '9'   ? c - '0'
                        : c >= 'a' && c <= 'f' ? c - 'a' + 10
                        : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                               : -1;
      if (digit < 0) Fail("\\u is not followed by four hex digits");
      code = code * 16 + static_cast<uint32_t>(digit);
    }
    return code;
  }

  // The code point of a \u escape, a surrogate pair taken together.
  uint32_t Unicode() {
    const uint32_t high = Hex4();
    if (high >= 0xDC00 && high <= 0xDFFF) Fail("a low surrogate without a high one");
    if (high < 0xD800 || high > 0xDBFF) return high;
    if (text_.compare(at_, 2, "\\u") != 0) Fail("a high surrogate without a low one");
    at_ += 2;
    const uint32_t low = Hex4();
    if (low < 0xDC00 || low > 0xDFFF) Fail("a high surrogate without a low one");
    return 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00);
  }

  static void AppendUtf8(std::string& out, uint32_t code) {
    if (code < 0x80) {
      out += static_cast<char>(code);
    } else if (code < 0x800) {
      out += static_cast<char>(0xC0 | (code >> 6));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      out += static_cast<char>(0xE0 | (code >> 12));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (code >> 18));
      out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    }
  }

  void Escape(std::string& out) {
    ++at_;  // the backslash
    const char c = Next();
    if (AtEnd()) Fail("the document ends in a string");
    static const std::string kEscapes = "\"\\/bfnrt";
    static const std::string kMeanings = "\"\\/\b\f\n\r\t";
    if (c == 'u') {
      ++at_;
      AppendUtf8(out, Unicode());
    } else if (const auto found = kEscapes.find(c); found != std::string::npos) {
      out += kMeanings[found];
      ++at_;
    } else {
      Fail("an unknown escape \\" + std::string(1, c));
    }
  }

  std::string String() {
    std::string out;
    ++at_;  // the opening quote
    for (;;) {
      if (AtEnd()) Fail("the document ends in a string");
      const auto byte = static_cast<unsigned char>(Next());
      if (byte == '"') break;
      if (byte == '\\') {
        Escape(out);
      } else if (byte < 0x20) {
        Fail("a control character in a string");
      } else if (byte < 0x80) {
        out += static_cast<char>(byte);
        ++at_;
      } else if (const std::size_t length = Utf8Length(text_, at_)) {
        out.append(text_, at_, length);
        at_ += length;
      } else {
        Fail("a byte that is not UTF-8");
      }
    }
    ++at_;
    return out;
  }

  std::size_t Digits() {
    const std::size_t first = at_;
    while (!AtEnd() && Next() >= '0' && Next() <= '9') ++at_;
    return at_ - first;
  }

  // -?(0|[1-9][0-9]*)(\.[0-9]+)?([eE][+-]?[0-9]+)?
  double Number() {
    const std::size_t first = at_;
    if (Next() == '-') ++at_;
    if (Next() < '0' || Next() > '9') Fail("not a value");
    const bool zero = Next() == '0';
    if (Digits() > 1 && zero) {
      at_ = first;
      Fail("a number with a leading zero");
    }
    if (Next() == '.') {
      ++at_;
      if (Digits() == 0) Fail("a decimal point without digits after it");
    }
    if ((Next() == 'e' || Next() == 'E')) {
      ++at_;
      if (Next() == '+' || Next() == '-') ++at_;
      if (Digits() == 0) Fail("an exponent without digits");
    }
    double number = 0;
    const auto [end, error] = std::from_chars(text_.data() + first, text_.data() + at_, number);
    if (error != std::errc() || end != text_.data() + at_) {
      at_ = first;
      Fail("a number out of range");
    }
    return number;
  }

  const std::string& text_;
  std::size_t at_ = 0;
};

}  // namespace

const JsonValue* JsonValue::Find(const std::string& key) const {
  for (const JsonMember& member : members) {
    if (member.key == key) return &member.value;
  }
  return nullptr;
}

JsonValue ReadJson(const std::string& text) {
  return Reader(text).Document();
}
