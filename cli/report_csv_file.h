// `upload --format csv`: the received report file also written as CSV, beside
// it, for spreadsheets. The upload file itself stays as the terminal sent it.
#pragma once

#include <cstdint>
#include <string>

// The two files of `upload --out NAME --format csv`: the upload file is NAME
// and the CSV NAME with the extension .csv ("report.txt" gives "report.csv");
// a NAME that ends in .csv is the CSV's, and the upload file takes .txt.
struct CsvUploadFiles {
  std::string uploadFile;
  std::string csv;
};
CsvUploadFiles CsvUploadFilesOf(const std::string& out);

// Reads `uploadFile` as the report of data type `reportCode` and writes its
// CSV to `csv`, a new file or an existing one emptied (the operator named
// it). Returns the exit status: 0 written, 1 when the report has a bad line
// or the CSV cannot be written (said on standard error).
int WriteCsv(const std::string& uploadFile, uint8_t reportCode, const std::string& csv);

// As WriteCsv for a file a receive named, with the CSV beside it: a new file,
// never one that exists, with the file's name and the extension .csv, or the
// next free one ("…_2.csv") when that is taken.
int WriteNewCsvBeside(const std::string& receivedFile, uint8_t reportCode);
