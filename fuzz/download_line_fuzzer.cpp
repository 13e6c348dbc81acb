// One line of a download file: ExtractField, the integer conversion and the
// column checks of the parsers, each against an independent reading of the
// same rules.
//
// The input is a control byte (which separator, which column), then the
// text. Checks: ExtractField returns exactly the column that a plain split
// finds, raises the missing-field flag only two or more places past the last
// field, and returns a view into the line; TryStrToInt agrees with a
// conversion built on std::from_chars and reads back every 32-bit value in
// decimal and in each hexadecimal program; LineColumns refuses exactly what the
// rules refuse, with the message for it, and never narrows: a narrow column
// gives the column's own value or refuses it.
#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "records/download_line.h"
#include "records/download_text.h"
#include "records/extract_field.h"
#include "text/code_page.h"
#include "text/str_to_int.h"

namespace {

std::vector<std::string_view> Split(std::string_view line, char separator) {
  std::vector<std::string_view> fields;
  for (;;) {
    const auto at = line.find(separator);
    fields.push_back(line.substr(0, at));
    if (at == std::string_view::npos) return fields;
    line.remove_prefix(at + 1);
  }
}

// The conversion rules read afresh: blanks, a sign, a hexadecimal prefix or
// none, then digits only, within the signed 32-bit range.
std::optional<int32_t> ReferenceStrToInt(std::string_view text) {
  text.remove_prefix(std::min(text.find_first_not_of(' '), text.size()));
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  int base = 10;
  for (std::string_view prefix : {"0x", "0X", "$", "x", "X"}) {
    if (text.starts_with(prefix)) {
      base = 16;
      text.remove_prefix(prefix.size());
      break;
    }
  }
  if (text.empty() || text[0] == '+' || text[0] == '-') return std::nullopt;
  uint64_t magnitude = 0;
  const auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
  if (end != text.data() + text.size()) return std::nullopt;
  const uint64_t limit = negative ? uint64_t{1} << 31 : (uint64_t{1} << 31) - 1;
  if (error == std::errc::result_out_of_range || magnitude > limit) return std::nullopt;
  return static_cast<int32_t>(negative ? -static_cast<int64_t>(magnitude)
                                       : static_cast<int64_t>(magnitude));
}

void CheckExtractField(std::string_view line, int n, char separator) {
  const auto fields = Split(line, separator);
  const int count = static_cast<int>(fields.size());
  MissingFieldFlag = false;
  const std::string_view field = ExtractField(line, n, separator);
  if (!field.empty()) {
    FUZZ_CHECK(
        field.data() >= line.data() && field.data() + field.size() <= line.data() + line.size(),
        "the field is not a view into the line");
  }
  if (n <= count) {
    FUZZ_CHECK(field == fields[static_cast<std::size_t>(n - 1)], "field " + std::to_string(n));
    FUZZ_CHECK(!MissingFieldFlag, "flag raised for a present field");
  } else {
    FUZZ_CHECK(field.empty(), "a missing field came back with text");
    FUZZ_CHECK(MissingFieldFlag == (n >= count + 2),
               "flag for field " + std::to_string(n) + " of " + std::to_string(count));
  }
}

void CheckConversion(std::string_view text) {
  const auto value = TryStrToInt(text);
  const auto expected = ReferenceStrToInt(text);
  FUZZ_CHECK(value == expected, "'" + std::string(text) + "'");
  if (!value) return;
  FUZZ_CHECK(StrToInt(text) == *value, "StrToInt and TryStrToInt differ");
}

std::string Hex(uint32_t magnitude, bool upper) {
  char digits[16];
  const auto end = std::to_chars(digits, digits + sizeof digits, magnitude, 16).ptr;
  std::string text(digits, end);
  if (upper) {
    for (char& c : text) c = static_cast<char>(c >= 'a' && c <= 'f' ? c - 'a' + 'A' : c);
  }
  return text;
}

// Every 32-bit value reads back from each way of writing it.
void CheckRoundTrip(int32_t value) {
  const std::string decimal = std::to_string(value);
  FUZZ_CHECK(TryStrToInt(decimal) == value, decimal);
  FUZZ_CHECK(TryStrToInt("  " + decimal) == value, "leading blanks");
  FUZZ_CHECK(!TryStrToInt(decimal + " "), "a trailing blank converts");
  const bool negative = value < 0;
  const uint32_t magnitude =
      negative ? static_cast<uint32_t>(-static_cast<int64_t>(value)) : static_cast<uint32_t>(value);
  const std::string sign = negative ? "-" : (value % 2 ? "+" : "");
  for (const char* prefix : {"$", "x", "X", "0x", "0X"}) {
    const std::string text = sign + prefix + Hex(magnitude, value % 3 == 0);
    FUZZ_CHECK(TryStrToInt(text) == value, text);
  }
}

bool HasControl(std::string_view text) {
  return std::any_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

// Every refusal carries the line and column it was found at.
void CheckPlace(const DownloadFileError& error, int column) {
  FUZZ_CHECK(error.Line() == 7 && error.Column() == column,
             "refused at line " + std::to_string(error.Line()) + ", column " +
                 std::to_string(error.Column()));
}

// A numeric column of a field that holds 0 to `max` (or the whole signed
// 32-bit range when `max` is 0): the column's value, or a refusal.
template <class Take>
void CheckNumberColumn(Take take, std::string_view text, bool missing, int column, int64_t max) {
  const auto reference = ReferenceStrToInt(text);
  const bool fits = reference && (max == 0 || (*reference >= 0 && *reference <= max));
  try {
    const int64_t number = take();
    FUZZ_CHECK(!missing && fits && number == *reference, "number column accepted, narrowed?");
  } catch (const DownloadFileError& error) {
    CheckPlace(error, column);
    const std::string why = missing ? kInputFileError : kIoError;
    FUZZ_CHECK(error.what() == why && (missing || !fits), error.what());
  }
}

// LineColumns throws exactly where the rules refuse a column.
void CheckColumns(std::string_view line, int column, std::size_t capacity) {
  const auto fields = Split(line, '\t');
  const int count = static_cast<int>(fields.size());
  const bool missing = column >= count + 2;
  const std::string_view text =
      column <= count ? fields[static_cast<std::size_t>(column - 1)] : std::string_view();
  // Bytes passed unchanged: the rules checked here are the column rules.
  static const CodePage kBytes = *CodePage::Named(kNoCodePage);
  DownloadText texts("", kBytes);
  const LineColumns columns(line, 7, texts);
  CheckNumberColumn([&] { return columns.Number(column); }, text, missing, column, 0);
  CheckNumberColumn([&] { return columns.U16(column); }, text, missing, column, UINT16_MAX);
  CheckNumberColumn([&] { return columns.U8(column); }, text, missing, column, UINT8_MAX);
  try {
    const std::string_view got = columns.Text(column, capacity);
    FUZZ_CHECK(!missing && got == text && got.size() < capacity && !HasControl(got),
               "text column accepted");
  } catch (const DownloadFileError& error) {
    CheckPlace(error, column);
    const std::string what = error.what();
    if (missing) {
      FUZZ_CHECK(what == kInputFileError, what);
    } else if (text.size() >= capacity) {
      FUZZ_CHECK(what.starts_with("Text too long in line 7, column "), what);
    } else {
      FUZZ_CHECK(HasControl(text) && what == kInputFileError, what);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const uint8_t control = data[0];
  const std::string_view line(reinterpret_cast<const char*>(data) + 1, size - 1);
  const char separators[] = {'\t', ',', ' ', static_cast<char>(data[1])};
  const int n = 1 + control % 16;
  CheckExtractField(line, n, separators[(control >> 4) % 4]);
  CheckConversion(line);
  CheckColumns(line, n, 1 + (control >> 6) * 8);
  if (size >= 5) {
    int32_t value;
    std::memcpy(&value, data + 1, sizeof value);
    CheckRoundTrip(value);
  }
  return 0;
}
