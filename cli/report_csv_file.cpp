#include "cli/report_csv_file.h"

#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "reports/report_csv.h"
#include "reports/report_reader.h"

std::string CsvPathBeside(const std::string& uploadFile) {
  std::filesystem::path csv(uploadFile);
  csv.replace_extension(".csv");
  return csv == std::filesystem::path(uploadFile) ? uploadFile + ".csv" : csv.string();
}

int WriteCsvBeside(const std::string& uploadFile, uint8_t reportCode) {
  try {
    const ReportTable table = ReadReportFile(uploadFile, *ReportKindOfCode(reportCode));
    WriteReportCsv(table, CsvPathBeside(uploadFile));
    return 0;
  } catch (const std::runtime_error& e) {
    std::fprintf(stderr, "ERROR: %s: %s\n", uploadFile.c_str(), e.what());
    return 1;
  }
}
