// A report received from a terminal, as a table: what each column holds and
// in which unit, one row per report record, and the totals of the columns
// that add up. The meaning of every value of a report line is written down
// here, in the column lists of report_columns.cpp, and nowhere else.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The four reports a terminal keeps.
enum class ReportKind { Plu, Time, Group, Department };

// The report read with data type `code` (kCodeReport...), or nothing for a
// code of records.
std::optional<ReportKind> ReportKindOfCode(uint8_t code);

enum class ColumnUnit {
  Number,  // a record's number: an hour, a group, a department, a PLU
  Count,   // sales, items
  Cents,   // an amount of money, in hundredths
  Grams,   // a weight
};

struct ReportColumn {
  std::string name;
  ColumnUnit unit;
  bool additive;  // summed in the totals row
};

struct ReportRow {
  std::string time;             // the record's time stamp, "YYYY-MM-DD HH:MM:SS"
  std::vector<int64_t> values;  // one per column
};

struct ReportTable {
  ReportKind kind;
  std::vector<ReportColumn> columns;  // after the time stamp, which every row has first
  std::vector<ReportRow> rows;        // in record order
};

// The columns of a report of `kind`, the first one its record number.
std::vector<ReportColumn> ReportColumns(ReportKind kind);

// The index in ReportColumns of the column named `name`; the name must be one
// of that report's.
std::size_t ColumnIndex(ReportKind kind, const std::string& name);

// The sums of the additive columns; nothing for the others.
std::vector<std::optional<int64_t>> ReportTotals(const ReportTable& table);
