#include "reports/report_chart.h"

#include <algorithm>

namespace {

ReportChart AmountByHour(const ReportTable& table) {
  ReportChart chart{"Amount by hour", "Amount", ColumnUnit::Cents, {}};
  const std::size_t hour = ColumnIndex(table.kind, "Hour");
  const std::size_t amount = ColumnIndex(table.kind, "Amount");
  for (int h = 0; h < 24; ++h) chart.bars.push_back({std::to_string(h), 0});
  for (const ReportRow& row : table.rows) chart.bars[row.values[hour]].value += row.values[amount];
  return chart;
}

// The rows with a positive `measure`, ordered by it and then by `tie`, both
// largest first; equal rows stay in record order. At most `count` of them.
std::vector<const ReportRow*> Largest(const ReportTable& table, std::size_t measure,
                                      std::size_t tie, std::size_t count) {
  std::vector<const ReportRow*> rows;
  for (const ReportRow& row : table.rows) {
    if (row.values[measure] > 0) rows.push_back(&row);
  }
  std::stable_sort(rows.begin(), rows.end(), [&](const ReportRow* a, const ReportRow* b) {
    if (a->values[measure] != b->values[measure]) return a->values[measure] > b->values[measure];
    return a->values[tie] > b->values[tie];
  });
  if (rows.size() > count) rows.resize(count);
  return rows;
}

ReportChart LargestBars(const ReportTable& table, std::string title, const std::string& measure,
                        const std::string& tie, std::size_t count) {
  const std::size_t by = ColumnIndex(table.kind, measure);
  const std::size_t number = 0;  // the record-number column comes first
  ReportChart chart{std::move(title), measure, table.columns[by].unit, {}};
  for (const ReportRow* row : Largest(table, by, ColumnIndex(table.kind, tie), count)) {
    chart.bars.push_back(
        {table.columns[number].name + " " + std::to_string(row->values[number]), row->values[by]});
  }
  return chart;
}

}  // namespace

ReportChart ChartOf(const ReportTable& table) {
  switch (table.kind) {
    case ReportKind::Time:
      return AmountByHour(table);
    case ReportKind::Group:
      return LargestBars(table,
                         "The " + std::to_string(kChartedTotals) + " largest groups by amount",
                         "Amount", "Amount", kChartedTotals);
    case ReportKind::Department:
      return LargestBars(table,
                         "The " + std::to_string(kChartedTotals) + " largest departments by amount",
                         "Amount", "Amount", kChartedTotals);
    case ReportKind::Plu:
      return LargestBars(table, "The " + std::to_string(kChartedPlus) + " best-selling PLUs",
                         "Sales", "Amount", kChartedPlus);
  }
  return {};
}
