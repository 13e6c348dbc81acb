#include "reports/report_reader.h"

#include <charconv>
#include <fstream>
#include <iterator>
#include <vector>

#include "reports/report_columns.h"

namespace {

std::string_view Trimmed(std::string_view field) {
  while (!field.empty() && field.front() == ' ') field.remove_prefix(1);
  while (!field.empty() && field.back() == ' ') field.remove_suffix(1);
  return field;
}

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  for (std::size_t start = 0;;) {
    const std::size_t comma = line.find(',', start);
    fields.push_back(Trimmed(line.substr(start, comma - start)));
    if (comma == std::string_view::npos) return fields;
    start = comma + 1;
  }
}

std::optional<int64_t> Integer(std::string_view text) {
  int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

// The digits at `at` of the time stamp, when they lie in [low, high].
std::optional<int> Part(std::string_view stamp, std::size_t at, std::size_t length, int low,
                        int high) {
  const auto value = Integer(stamp.substr(at, length));
  if (!value || *value < low || *value > high || stamp[at] == '-') return std::nullopt;
  return static_cast<int>(*value);
}

// The hour of a "YYYY-MM-DD HH:MM:SS" time stamp, or nothing for another text.
std::optional<int> StampHour(std::string_view stamp) {
  if (stamp.size() != 19 || stamp[4] != '-' || stamp[7] != '-' || stamp[10] != ' ' ||
      stamp[13] != ':' || stamp[16] != ':') {
    return std::nullopt;
  }
  if (!Part(stamp, 0, 4, 0, 9999) || !Part(stamp, 5, 2, 1, 12) || !Part(stamp, 8, 2, 1, 31) ||
      !Part(stamp, 14, 2, 0, 59) || !Part(stamp, 17, 2, 0, 59)) {
    return std::nullopt;
  }
  return Part(stamp, 11, 2, 0, 23);
}

ReportRow Row(std::string_view line, ReportKind kind, std::size_t place, int lineNumber) {
  const std::vector<std::string_view> fields = Fields(line);
  const std::size_t expected = LineFieldCount(kind);
  if (fields.size() != expected) {
    throw ReportReadError(lineNumber, std::to_string(expected) + " fields expected, " +
                                          std::to_string(fields.size()) + " found");
  }
  const std::optional<int> hour = StampHour(fields[0]);
  if (!hour) {
    throw ReportReadError(
        lineNumber, "\"" + std::string(fields[0]) + "\" is not a time stamp YYYY-MM-DD HH:MM:SS");
  }
  ReportRow row{std::string(fields[0]), {}};
  if (kind == ReportKind::Time) row.values.push_back(*hour);
  if (kind == ReportKind::Group || kind == ReportKind::Department) {
    row.values.push_back(FirstRecordNumber(kind) + static_cast<int64_t>(place));
  }
  for (const LineColumn& column : LineColumns(kind)) {
    const auto value = Integer(fields[column.field]);
    if (!value) {
      throw ReportReadError(lineNumber, column.column.name + ": \"" +
                                            std::string(fields[column.field]) +
                                            "\" is not a whole number");
    }
    row.values.push_back(*value);
  }
  return row;
}

}  // namespace

ReportReadError::ReportReadError(int line, const std::string& message)
    : std::runtime_error(line > 0 ? "line " + std::to_string(line) + ": " + message : message),
      line(line) {}

int FirstRecordNumber(ReportKind kind) {
  return kind == ReportKind::Department ? 1 : 0;
}

ReportTable ReadReport(std::string_view text, ReportKind kind) {
  ReportTable table{kind, ReportColumns(kind), {}};
  int lineNumber = 0;
  while (!text.empty()) {
    ++lineNumber;
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    table.rows.push_back(Row(line, kind, table.rows.size(), lineNumber));
  }
  return table;
}

ReportTable ReadReportFile(const std::string& path, ReportKind kind) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw ReportReadError(0, "cannot read " + path);
  const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  return ReadReport(text, kind);
}
