#include "import/delimited_text.h"

#include <array>

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view WithoutMarks(std::string_view bytes) {
  if (bytes.starts_with(kByteOrderMark)) bytes.remove_prefix(kByteOrderMark.size());
  if (bytes.ends_with('\x1A')) bytes.remove_suffix(1);
  return bytes;
}

// Reads one row at a time: the position in the bytes and the line it is on.
class RowReader {
 public:
  RowReader(std::string_view bytes, char delimiter) : bytes_(bytes), delimiter_(delimiter) {}

  bool AtEnd() const { return at_ >= bytes_.size(); }

  DelimitedRow Next() {
    DelimitedRow row;
    row.line = line_;
    const std::size_t start = at_;
    std::string field;
    bool quoted = false;     // inside a quoted field
    bool wasQuoted = false;  // the field began with a quote, now closed
    while (at_ < bytes_.size()) {
      const char c = bytes_[at_++];
      if (quoted) {
        if (c == '"' && Peek() == '"') {
          field += '"';
          ++at_;
        } else if (c == '"') {
          quoted = false;
          wasQuoted = true;
        } else {
          if (c == '\n') ++line_;
          field += c;
        }
      } else if (c == delimiter_) {
        row.fields.push_back(std::move(field));
        field.clear();
        wasQuoted = false;
      } else if (c == '\n' || (c == '\r' && Peek() == '\n')) {
        if (c == '\r') ++at_;
        ++line_;
        row.text = std::string(bytes_.substr(start, at_ - start));
        while (!row.text.empty() && (row.text.back() == '\n' || row.text.back() == '\r'))
          row.text.pop_back();
        row.fields.push_back(std::move(field));
        return row;
      } else if (c == '"' && field.empty() && !wasQuoted) {
        quoted = true;
      } else {
        if (row.fault.empty() && wasQuoted) {
          row.fault =
              "text after the closing quote of field " + std::to_string(row.fields.size() + 1);
        } else if (row.fault.empty() && c == '"') {
          row.fault = "a quote inside field " + std::to_string(row.fields.size() + 1) +
                      ", which does not begin with one";
        }
        field += c;
      }
    }
    if (quoted)
      row.fault = "the quote of field " + std::to_string(row.fields.size() + 1) +
                  " is not closed before the end of the export";
    row.text = std::string(bytes_.substr(start));
    row.fields.push_back(std::move(field));
    return row;
  }

 private:
  char Peek() const { return at_ < bytes_.size() ? bytes_[at_] : '\0'; }

  std::string_view bytes_;
  char delimiter_;
  std::size_t at_ = 0;
  int line_ = 1;
};

}  // namespace

std::string_view FirstLine(std::string_view bytes) {
  bytes = WithoutMarks(bytes);
  return bytes.substr(0, bytes.find_first_of("\r\n"));
}

std::optional<char> DetectDelimiter(std::string_view firstLine) {
  constexpr std::array<char, 3> kCandidates = {',', ';', '\t'};
  std::array<int, 3> counts{};
  bool quoted = false;
  for (const char c : firstLine) {
    if (c == '"') quoted = !quoted;  // a doubled quote toggles twice
    for (std::size_t i = 0; i < kCandidates.size(); ++i) {
      if (!quoted && c == kCandidates[i]) ++counts[i];
    }
  }
  std::size_t best = 0;
  for (std::size_t i = 1; i < counts.size(); ++i) {
    if (counts[i] > counts[best]) best = i;
  }
  for (std::size_t i = 0; i < counts.size(); ++i) {
    if (i != best && counts[i] == counts[best]) return std::nullopt;
  }
  if (counts[best] == 0) return std::nullopt;
  return kCandidates[best];
}

std::vector<DelimitedRow> SplitDelimited(std::string_view bytes, char delimiter) {
  std::vector<DelimitedRow> rows;
  RowReader reader(WithoutMarks(bytes), delimiter);
  while (!reader.AtEnd()) {
    DelimitedRow row = reader.Next();
    const bool empty = row.fields.size() == 1 && row.fields.front().empty() && row.fault.empty();
    if (!empty) rows.push_back(std::move(row));
  }
  return rows;
}
