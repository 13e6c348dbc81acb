#include "reports/report_cells.h"

namespace {

std::string ValueText(const ReportColumn& column, int64_t value) {
  return column.unit == ColumnUnit::Cents ? MoneyText(value) : std::to_string(value);
}

}  // namespace

std::string MoneyText(int64_t cents) {
  const uint64_t magnitude = cents < 0 ? 0 - static_cast<uint64_t>(cents) : cents;
  std::string fraction = std::to_string(magnitude % 100);
  if (fraction.size() < 2) fraction.insert(0, "0");
  return (cents < 0 ? "-" : "") + std::to_string(magnitude / 100) + "." + fraction;
}

std::vector<std::string> ReportHeadings(const ReportTable& table) {
  std::vector<std::string> headings{"Time"};
  for (const ReportColumn& column : table.columns) {
    headings.push_back(column.unit == ColumnUnit::Grams ? column.name + " (g)" : column.name);
  }
  return headings;
}

std::vector<std::string> ReportCells(const ReportTable& table, const ReportRow& row) {
  std::vector<std::string> cells{row.time};
  for (std::size_t i = 0; i < table.columns.size(); ++i) {
    cells.push_back(ValueText(table.columns[i], row.values[i]));
  }
  return cells;
}

std::vector<std::string> TotalCells(const ReportTable& table) {
  std::vector<std::string> cells{"Total"};
  const auto totals = ReportTotals(table);
  for (std::size_t i = 0; i < table.columns.size(); ++i) {
    cells.push_back(totals[i] ? ValueText(table.columns[i], *totals[i]) : std::string());
  }
  return cells;
}
