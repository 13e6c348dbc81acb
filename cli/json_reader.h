// A strict reader of JSON documents (RFC 8259), for the summaries that runs
// of orlent-cli wrote, here or on another shop's PC. Anything the grammar
// does not allow is refused with where it was found: comments, trailing
// commas, a byte that is not UTF-8, a lone surrogate, a key given twice,
// more than 64 levels of nesting, or anything after the value.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

struct JsonMember;

struct JsonValue {
  enum class Type { Null, Boolean, Number, String, Array, Object };
  Type type = Type::Null;
  bool boolean = false;
  double number = 0;
  std::string text;                 // a string, as UTF-8
  std::vector<JsonValue> items;     // an array's
  std::vector<JsonMember> members;  // an object's, in the document's order

  // The member named `key` of an object; null when there is none, or when
  // this is not an object.
  const JsonValue* Find(const std::string& key) const;
};

struct JsonMember {
  std::string key;
  JsonValue value;
};

// "line 3, column 14: a comma is not followed by a value" and the like.
struct JsonError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// The one value `text` holds. Throws JsonError when it is not a JSON document.
JsonValue ReadJson(const std::string& text);
