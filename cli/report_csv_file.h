// `upload --format csv`: the received report file also written as CSV, beside
// it, for spreadsheets. The upload file itself stays as the terminal sent it.
#pragma once

#include <cstdint>
#include <string>

// The CSV's path: the upload file's with the extension .csv ("report.txt"
// gives "report.csv"; a name ending in .csv already gets a second one).
std::string CsvPathBeside(const std::string& uploadFile);

// Reads `uploadFile` as the report of data type `reportCode` and writes its
// CSV beside it. Returns the exit status: 0 written, 1 when the report has a
// bad line or the CSV cannot be written (said on standard error).
int WriteCsvBeside(const std::string& uploadFile, uint8_t reportCode);
