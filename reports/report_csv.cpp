#include "reports/report_csv.h"

#include <fstream>
#include <stdexcept>

#include "reports/csv.h"
#include "reports/report_cells.h"

std::string ReportCsv(const ReportTable& table) {
  std::string csv = CsvRecord(ReportHeadings(table));
  for (const ReportRow& row : table.rows) csv += CsvRecord(ReportCells(table, row));
  return csv;
}

void WriteReportCsv(const ReportTable& table, const std::string& path) {
  const std::string csv = ReportCsv(table);
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (!file || !file.write(csv.data(), static_cast<std::streamsize>(csv.size())) || !file.flush()) {
    throw std::runtime_error("cannot write " + path);
  }
}
