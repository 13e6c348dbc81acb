// Reads a report file, as an upload writes it, into a report table. A file
// with a bad line gives no table at all, but the line's number and what is
// wrong with it.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "reports/report_table.h"

// A report that cannot be read. `line` is the 1-based number of the bad line,
// 0 when the file itself could not be read.
class ReportReadError : public std::runtime_error {
 public:
  ReportReadError(int line, const std::string& message);
  int line;
};

// The report in `text`: one line per record, each ending in CR LF (or LF).
ReportTable ReadReport(std::string_view text, ReportKind kind);
ReportTable ReadReportFile(const std::string& path, ReportKind kind);

// The number of the group or department report's first record. An upload
// reads these reports' records in number order, one line each, and the
// lines do not print the number: a row's number is this plus its place.
int FirstRecordNumber(ReportKind kind);
