// The JSON summaries fleet-report reads, fetched from other shops' PCs: any
// bytes read as a summary, then made the report's rows and pages.
//
// Checks: the reader either takes the bytes or refuses them with a JsonError,
// nothing else; a value it takes, written out again, reads back as the same
// value (written the same way twice); a summary's rows, or its refusal as a
// runtime_error, never anything else; no text of a row stands unescaped in
// the HTML page (its angle brackets are its markup's alone); the CSV has a
// record for every row.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>

#include "cli/fleet_report.h"
#include "cli/json_reader.h"
#include "cli/json_text.h"
#include "fuzz/fuzz_support.h"

namespace {

std::string Written(const JsonValue& value) {
  switch (value.type) {
    case JsonValue::Type::Null:
      return "null";
    case JsonValue::Type::Boolean:
      return value.boolean ? "true" : "false";
    case JsonValue::Type::Number: {
      char text[40];
      std::snprintf(text, sizeof text, "%.17g", value.number);
      return text;
    }
    case JsonValue::Type::String:
      return JsonString(value.text);
    case JsonValue::Type::Array: {
      std::string json = "[";
      for (const JsonValue& item : value.items)
        json += (json.size() > 1 ? "," : "") + Written(item);
      return json + "]";
    }
    case JsonValue::Type::Object: {
      std::string json = "{";
      for (const JsonMember& member : value.members)
        json += (json.size() > 1 ? "," : "") + JsonString(member.key) + ":" + Written(member.value);
      return json + "}";
    }
  }
  return {};
}

// The page's own markup: as many angle brackets as a page of the same rows
// with every such character of their texts put out of the way.
std::size_t Brackets(const std::string& page) {
  std::size_t count = 0;
  for (const char c : page) count += c == '<' || c == '>';
  return count;
}

void CheckReport(const std::vector<FleetRow>& rows) {
  std::vector<FleetRow> plain = rows;
  for (FleetRow& row : plain) {
    for (std::string* text :
         {&row.shop, &row.name, &row.address, &row.ran, &row.outcome, &row.when, &row.summary}) {
      for (char& c : *text)
        if (c == '<' || c == '>') c = 'x';
    }
  }
  if (Brackets(FleetHtml(rows)) != Brackets(FleetHtml(plain)))
    FuzzFailure("a row's text stands unescaped in the HTML page");
  std::size_t records = 0;
  const std::string csv = FleetCsv(rows);
  for (std::size_t at = csv.find("\r\n"); at != std::string::npos; at = csv.find("\r\n", at + 2))
    ++records;
  if (records < rows.size() + 1) FuzzFailure("the CSV has fewer records than rows and its header");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  JsonValue value;
  try {
    value = ReadJson(bytes);
  } catch (const JsonError&) {
    return 0;
  }
  const std::string once = Written(value);
  std::string twice;
  try {
    twice = Written(ReadJson(once));
  } catch (const JsonError& error) {
    FuzzFailure(std::string("a value read does not read back: ") + error.what() + " in " + once);
  }
  if (twice != once) FuzzFailure("a value read back differs: " + once + " then " + twice);
  std::vector<FleetRow> rows;
  try {
    rows = FleetRowsOf(value, "summary.json");
  } catch (const std::runtime_error&) {
    return 0;
  }
  SortForAttention(rows);
  CheckReport(rows);
  return 0;
}
