// The chart drawn for a report: the time report's amount by hour, the group
// and department reports' 15 largest by amount, the PLU report's 20
// best-selling items.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "reports/report_table.h"

struct ChartBar {
  std::string label;  // "7" (an hour), "Group 12", "Department 3", "PLU 1021"
  int64_t value;
  bool operator==(const ChartBar&) const = default;
};

struct ReportChart {
  std::string title;
  std::string valueName;  // what the bars measure: "Amount" or "Sales"
  ColumnUnit unit;
  std::vector<ChartBar> bars;  // left to right
};

inline constexpr std::size_t kChartedTotals = 15;  // groups, departments
inline constexpr std::size_t kChartedPlus = 20;

// The time report: one bar per hour 0 to 23, the hours without a row at 0.
// The group and department reports: the rows with a positive amount, the
// largest first (equal amounts in record order). The PLU report: the rows
// with sales, the most sales first, equal sales by amount.
ReportChart ChartOf(const ReportTable& table);
