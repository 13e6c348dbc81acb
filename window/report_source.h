// Where and when a report was taken, for the chart's picture and the name
// suggested for it. A receive names a report's file by its kind, the
// terminal's address and the day ("Report-Time_127.0.0.2_2026-12-08.txt");
// an address in a file name never holds "_", so the parts split cleanly.
#pragma once

#include <string>

#include "reports/report_table.h"

struct ReportSource {
  std::string address;  // as the file's name holds it; empty when it names none
  std::string date;     // "YYYY-MM-DD"; empty when neither the name nor a row gives one
};

// The address and day in the name of the report file `path`; a file named
// otherwise gives no address, and the day of its first row's time stamp.
ReportSource SourceOfReport(const std::string& path, const ReportTable& table);

// "Amount by hour" with the source under it: "127.0.0.2, 2026-12-08".
std::string ChartTitle(const std::string& title, const ReportSource& source);

// The name a chart is suggested to be saved as, without its folder:
// "Report-Time_127.0.0.2_2026-12-08.png", the parts the source lacks left out.
std::string ChartFileName(ReportKind kind, const ReportSource& source);
