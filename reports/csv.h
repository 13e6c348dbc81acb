// Comma-separated values for spreadsheets (RFC 4180): a field that holds a
// comma, a double quote, a CR or an LF is quoted, its quotes doubled; records
// end in CR LF. Text passes as its bytes, so UTF-8 stays UTF-8.
#pragma once

#include <string>
#include <string_view>
#include <vector>

std::string CsvField(std::string_view text);
// The fields joined by commas, with the CR LF that ends the record.
std::string CsvRecord(const std::vector<std::string>& fields);
