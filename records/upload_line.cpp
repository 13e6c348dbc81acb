#include "records/upload_line.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kLineEnd = "\r\n";

[[gnu::format(printf, 1, 2)]] std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int length = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  std::string line(static_cast<std::size_t>(length < 0 ? 0 : length), '\0');
  std::vsnprintf(line.data(), line.size() + 1, format, again);
  va_end(again);
  return line;
}

// The C1 control characters, U+0080 to U+009F, each written as a blank: a
// byte that a set such as ISO-8859-1 turns into one (0x85 is NEL, a line end
// to some editors) must not break the line either.
std::string WithC1ControlsBlank(const std::string& utf8) {
  std::string text;
  text.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const bool c1 = utf8[i] == '\xC2' && i + 1 < utf8.size() &&
                    static_cast<unsigned char>(utf8[i + 1]) <= 0x9F &&
                    static_cast<unsigned char>(utf8[i + 1]) >= 0x80;
    text += c1 ? ' ' : utf8[i];
    i += c1;
  }
  return text;
}

// A text field as the file gets it: up to its first zero byte, and never past
// the field, whatever the terminal sent. A control character (a CR or LF, a
// TAB, any byte below 32, and DEL) is written as a blank, so that one record
// stays one line, and the line stays one row in a spreadsheet and a text the
// download files accept. The rest is turned from the terminal's set into
// UTF-8, where a byte that becomes a C1 control character is a blank too;
// with "none" the other bytes stay as the terminal holds them.
template <std::size_t N>
std::string Text(const char (&field)[N], const CodePage& codePage) {
  std::string text(field, strnlen(field, N));
  for (char& c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) c = ' ';
  }
  if (codePage.PassesBytes()) return text;
  return WithC1ControlsBlank(codePage.ToUtf8(text));
}

}  // namespace

std::string PluUploadLine(const PluRecord& r, const CodePage& codePage) {
  return Format("%d, %d, %d, %s, %d, %d, %d, %d, %d", r.Field1, r.PluNo, r.Field3,
                Text(r.Text, codePage).c_str(), r.Field5, r.Field6, r.Field7, r.Field8, r.Field9) +
         kLineEnd;
}

std::string BarcodeUploadLine(const BarcodeRecord& r, const CodePage& codePage) {
  return Format("%d, %d, %d, %s, %s%s", r.Number, r.Field2, r.Field3,
                Text(r.Text1, codePage).c_str(), Text(r.Text2, codePage).c_str(), kLineEnd);
}

std::string IngredientUploadLine(const IngredientRecord& r, const CodePage& codePage) {
  return Format("%d,%s%s", r.Number, Text(r.Text, codePage).c_str(), kLineEnd);
}

std::string ScrollMsgUploadLine(const ScrollMsgRecord& r, const CodePage& codePage) {
  return Format("%d, %s, %d %s", r.Number, Text(r.Text2, codePage).c_str(), r.Field3, kLineEnd);
}

std::string ReportPluUploadLine(const ReportPluRecord& r) {
  return Format("%d-%02d-%02d %02d:%02d:%02d, %d, %d, %d, %d,%d,%d,%d,%d,%d,%d,%d,%d%s",
                2000 + r.Year, r.Month, r.Day, r.Hour, r.Minute, r.Second, r.Value0, r.Value1,
                r.Value2, r.Value3, r.Value8, r.Value9, r.Value10, r.Value4, r.Value5, r.Value6,
                r.Value7, r.Value11, kLineEnd);
}

std::string ReportTotalUploadLine(const ReportTotalRecord& r) {
  return Format("%d-%02d-%02d %02d:%02d:%02d, %d, %d, %d, %d,%d%s", 2000 + r.Year, r.Month, r.Day,
                r.Hour, r.Minute, r.Second, r.Value1, r.Value4, r.Value2, r.Value5, r.Value3,
                kLineEnd);
}

namespace {

template <class Record>
Record As(std::span<const uint8_t> bytes) {
  Record record;
  std::memcpy(&record, bytes.data(), sizeof record);
  return record;
}

}  // namespace

std::string UploadLine(const RecordKind& kind, std::span<const uint8_t> r,
                       const CodePage& codePage) {
  if (r.size() < kind.size) return {};
  switch (kind.line) {
    case LineFormat::Plu:
      return PluUploadLine(As<PluRecord>(r), codePage);
    case LineFormat::Barcode:
      return BarcodeUploadLine(As<BarcodeRecord>(r), codePage);
    case LineFormat::Ingredient:
      return IngredientUploadLine(As<IngredientRecord>(r), codePage);
    case LineFormat::ScrollMsg:
      return ScrollMsgUploadLine(As<ScrollMsgRecord>(r), codePage);
    case LineFormat::ReportPlu:
      return ReportPluUploadLine(As<ReportPluRecord>(r));
    case LineFormat::ReportTotal:
      return ReportTotalUploadLine(As<ReportTotalRecord>(r));
    case LineFormat::None:
      break;
  }
  return {};
}
