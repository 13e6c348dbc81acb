// Test support: a report as the terminal simulator makes it, the text of its
// upload file and the figures of each record taken from the records
// themselves, to check what the reader and the chart make of the text.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "reports/report_chart.h"

struct SimulatedRecord {
  int64_t number;  // the hour, group, department or PLU number
  int64_t sales;
  int64_t amount;  // cents
};

struct SimulatedReport {
  std::string text;
  std::vector<SimulatedRecord> records;
};

// The whole report of data type `code`; the PLU report of 60 PLUs numbered
// 101 to 160.
SimulatedReport SimulateReport(uint8_t code);

// The bars the report's chart should show, worked out from its records.
std::vector<ChartBar> ExpectedBars(const SimulatedReport& report, ReportKind kind);
