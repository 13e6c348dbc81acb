#include "cli/report_csv_file.h"

#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "cycle/new_file.h"
#include "reports/report_csv.h"
#include "reports/report_reader.h"
#include "settings/atomic_file.h"

namespace {

bool EndsInCsv(const std::string& name) {
  const std::string extension = std::filesystem::path(name).extension().string();
  return extension.size() == 4 && extension[0] == '.' && std::tolower(extension[1]) == 'c' &&
         std::tolower(extension[2]) == 's' && std::tolower(extension[3]) == 'v';
}

// Writes `csv` whole into a new file of the series of `receivedFile`'s stem
// and .csv, and closes it.
void WriteNewFile(const std::string& receivedFile, const std::string& csv) {
  const std::filesystem::path beside(receivedFile);
  std::string path;
  const int fd = CreateNewFile(beside.parent_path().string(), beside.stem().string(), ".csv", path);
  const bool written = WriteAll(fd, csv);
  if (close(fd) != 0 || !written) throw std::runtime_error("cannot write " + path);
}

template <class Write>
int WriteReport(const std::string& uploadFile, uint8_t reportCode, Write write) {
  try {
    write(ReadReportFile(uploadFile, *ReportKindOfCode(reportCode)));
    return 0;
  } catch (const std::runtime_error& e) {
    std::fprintf(stderr, "ERROR: %s: %s\n", uploadFile.c_str(), e.what());
    return 1;
  }
}

}  // namespace

CsvUploadFiles CsvUploadFilesOf(const std::string& out) {
  std::filesystem::path other(out);
  if (EndsInCsv(out)) return {other.replace_extension(".txt").string(), out};
  return {out, other.replace_extension(".csv").string()};
}

int WriteCsv(const std::string& uploadFile, uint8_t reportCode, const std::string& csv) {
  return WriteReport(uploadFile, reportCode,
                     [&](const ReportTable& table) { WriteReportCsv(table, csv); });
}

int WriteNewCsvBeside(const std::string& receivedFile, uint8_t reportCode) {
  return WriteReport(receivedFile, reportCode, [&](const ReportTable& table) {
    WriteNewFile(receivedFile, ReportCsv(table));
  });
}
