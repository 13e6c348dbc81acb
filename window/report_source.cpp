#include "window/report_source.h"

#include <filesystem>
#include <regex>
#include <vector>

#include "records/record_kinds.h"

namespace {

std::vector<std::string> Parts(const std::string& stem) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t end; (end = stem.find('_', start)) != std::string::npos; start = end + 1) {
    parts.push_back(stem.substr(start, end - start));
  }
  parts.push_back(stem.substr(start));
  return parts;
}

bool IsDate(const std::string& text) {
  static const std::regex date(R"(\d{4}-\d{2}-\d{2})");
  return std::regex_match(text, date);
}

// "Report-Time": the kind's part of a received file's name.
std::string FileKindName(ReportKind kind) {
  for (const RecordKind& record : RecordKinds()) {
    if (record.report && ReportKindOfCode(record.code) == kind) return record.fileName;
  }
  return "Report";
}

}  // namespace

ReportSource SourceOfReport(const std::string& path, const ReportTable& table) {
  const std::vector<std::string> parts = Parts(std::filesystem::path(path).stem().string());
  if (parts.size() >= 3 && !parts[1].empty() && IsDate(parts[2])) return {parts[1], parts[2]};
  ReportSource source;
  if (!table.rows.empty() && IsDate(table.rows.front().time.substr(0, 10))) {
    source.date = table.rows.front().time.substr(0, 10);
  }
  return source;
}

std::string ChartTitle(const std::string& title, const ReportSource& source) {
  std::string under = source.address;
  if (!under.empty() && !source.date.empty()) under += ", ";
  under += source.date;
  return under.empty() ? title : title + "\n" + under;
}

std::string ChartFileName(ReportKind kind, const ReportSource& source) {
  std::string name = FileKindName(kind);
  for (const std::string* part : {&source.address, &source.date}) {
    if (!part->empty()) name += "_" + *part;
  }
  return name + ".png";
}
