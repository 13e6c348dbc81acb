// A report table as a CSV file: the headings, then one record per report row
// (no totals row: a spreadsheet sums for itself).
#pragma once

#include <string>

#include "reports/report_table.h"

std::string ReportCsv(const ReportTable& table);

// Writes ReportCsv(table) to `path`; throws std::runtime_error naming the path
// when it cannot be written.
void WriteReportCsv(const ReportTable& table, const std::string& path);
