#include <stdexcept>

#include "records/records.h"
#include "reports/report_columns.h"
#include "reports/report_table.h"

namespace {

// A report line holds its time stamp, then its values in the order below
// (the field after the time stamp is field 1). The total reports (time,
// group, department) print their values as v1, v4, v2, v5, v3: 1 sales
// count, 2 amount in cents, 3 weight in grams, 4 items, 5 voided sales. The
// PLU report prints v0, v1, v2, v3, v8, v9, v10, v4, v5, v6, v7, v11: 0
// department, 1 group, 2 PLU number, 3 sales count, 4 amount in cents, 5
// weight in grams, 6 items, 7 voided sales, 8 to 11 the amount, weight,
// items and sales of the day before.
const std::vector<LineColumn> kTotalColumns = {
    {{"Sales", ColumnUnit::Count, true}, 1},        {{"Amount", ColumnUnit::Cents, true}, 3},
    {{"Weight", ColumnUnit::Grams, true}, 5},       {{"Items", ColumnUnit::Count, true}, 2},
    {{"Voided sales", ColumnUnit::Count, true}, 4},
};

const std::vector<LineColumn> kPluColumns = {
    {{"PLU", ColumnUnit::Number, false}, 3},
    {{"Department", ColumnUnit::Number, false}, 1},
    {{"Group", ColumnUnit::Number, false}, 2},
    {{"Sales", ColumnUnit::Count, true}, 4},
    {{"Amount", ColumnUnit::Cents, true}, 8},
    {{"Weight", ColumnUnit::Grams, true}, 9},
    {{"Items", ColumnUnit::Count, true}, 10},
    {{"Voided sales", ColumnUnit::Count, true}, 11},
    {{"Sales day before", ColumnUnit::Count, true}, 12},
    {{"Amount day before", ColumnUnit::Cents, true}, 5},
    {{"Weight day before", ColumnUnit::Grams, true}, 6},
    {{"Items day before", ColumnUnit::Count, true}, 7},
};

}  // namespace

std::optional<ReportKind> ReportKindOfCode(uint8_t code) {
  switch (code) {
    case kCodeReportPlu:
      return ReportKind::Plu;
    case kCodeReportTime:
      return ReportKind::Time;
    case kCodeReportGroup:
      return ReportKind::Group;
    case kCodeReportDept:
      return ReportKind::Department;
    default:
      return std::nullopt;
  }
}

std::string RecordNumberName(ReportKind kind) {
  switch (kind) {
    case ReportKind::Plu:
      return "PLU";
    case ReportKind::Time:
      return "Hour";
    case ReportKind::Group:
      return "Group";
    case ReportKind::Department:
      return "Department";
  }
  return {};
}

const std::vector<LineColumn>& LineColumns(ReportKind kind) {
  return kind == ReportKind::Plu ? kPluColumns : kTotalColumns;
}

std::size_t LineFieldCount(ReportKind kind) {
  return kind == ReportKind::Plu ? 13 : 6;
}

std::vector<ReportColumn> ReportColumns(ReportKind kind) {
  std::vector<ReportColumn> columns;
  if (kind != ReportKind::Plu)
    columns.push_back({RecordNumberName(kind), ColumnUnit::Number, false});
  for (const LineColumn& column : LineColumns(kind)) columns.push_back(column.column);
  return columns;
}

std::size_t ColumnIndex(ReportKind kind, const std::string& name) {
  const std::vector<ReportColumn> columns = ReportColumns(kind);
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (columns[i].name == name) return i;
  }
  throw std::logic_error("no report column " + name);
}

std::vector<std::optional<int64_t>> ReportTotals(const ReportTable& table) {
  std::vector<std::optional<int64_t>> totals(table.columns.size());
  for (std::size_t i = 0; i < table.columns.size(); ++i) {
    if (!table.columns[i].additive) continue;
    int64_t sum = 0;
    for (const ReportRow& row : table.rows) sum += row.values[i];
    totals[i] = sum;
  }
  return totals;
}
