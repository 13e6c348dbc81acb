// Where each column of a report table comes from in a report line. Used by
// the reader; the rest of the program sees only the table's columns.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "reports/report_table.h"

struct LineColumn {
  ReportColumn column;
  std::size_t field;  // its field in the line, the time stamp being field 0
};

// The columns read from the line's fields, in the table's order. The total
// reports' record number is not among them: their lines do not print it.
const std::vector<LineColumn>& LineColumns(ReportKind kind);

// The fields of one line of a report of `kind`, the time stamp included.
std::size_t LineFieldCount(ReportKind kind);

// The name of the record-number column: "Hour", "Group", "Department" or "PLU".
std::string RecordNumberName(ReportKind kind);
