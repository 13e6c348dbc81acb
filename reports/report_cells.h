// A report table as text, the same in the window's table and in a CSV file:
// the column headings, one row of cells per record, and the totals row.
// Amounts are shown as money with two decimals ("12.34" for 1234 cents),
// weights in grams, everything else as whole numbers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "reports/report_table.h"

// "Time", then each column's name with its unit when it has one ("Weight (g)").
std::vector<std::string> ReportHeadings(const ReportTable& table);
std::vector<std::string> ReportCells(const ReportTable& table, const ReportRow& row);
// "Total", then the totals, empty under the columns that do not add up.
std::vector<std::string> TotalCells(const ReportTable& table);

// 1234 cents as "12.34", -5 as "-0.05".
std::string MoneyText(int64_t cents);
