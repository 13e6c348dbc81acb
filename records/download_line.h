// One line of a download file: whether it holds a record, and its
// tab-separated columns taken one at a time with the checks that every parser
// and "Read Data" share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "records/download_file_error.h"
#include "records/download_text.h"
#include "records/record_kinds.h"

// Empty lines and lines beginning with ";" hold no record.
inline bool IsSkippedLine(std::string_view line) {
  return line.empty() || line.front() == ';';
}

// The error for a data line found when a file already holds its most records.
DownloadFileError TooManyRecords(int lineNumber);

// The columns of line `lineNumber` of a download file. Each column asked for
// lowers MissingFieldFlag first. Every refusal throws DownloadFileError with
// the line and column: a column that the line lacks "Error in input file !",
// a number that does not convert, does not fit its field or is no record
// number a read-back can reach "I/O Error !", a
// text longer than its field a message naming the line, a text holding a
// control character or a character the terminal's set lacks "Error in input
// file !". Texts are taken in the terminal's set, as `texts` gives them.
class LineColumns {
 public:
  LineColumns(std::string_view line, int lineNumber, DownloadText& texts)
      : line_(line), lineNumber_(lineNumber), texts_(texts) {}

  int32_t Number(int column) const;
  // Narrow fields take only what they hold: a value is never cut to fit.
  uint16_t U16(int column) const { return static_cast<uint16_t>(Unsigned(column, UINT16_MAX)); }
  uint8_t U8(int column) const { return static_cast<uint8_t>(Unsigned(column, UINT8_MAX)); }
  // A number from 0 to `max`.
  uint32_t Unsigned(int column, uint32_t max) const;
  // A record number a read-back of the terminal reaches under its own
  // number (records/record_numbers.h): PLU numbers 1 to 2147483647 but
  // 65535, the other kinds' numbers 1 to 65534.
  int32_t PluNumber(int column) const;
  uint16_t RecordNumber(int column) const;
  // A number column as the table of record kinds describes its field: a
  // record number, or any value the field holds.
  int64_t Value(int column, const KindColumn& field) const;
  // The column's text in the terminal's set, refused when it does not fit a
  // field of `capacity` bytes with its terminating zero (the terminal's
  // bytes are counted), or when it holds a control character (a record must
  // stay one line wherever it is written). Valid until the next Text.
  std::string_view Text(int column, std::size_t capacity) const;
  // Copies the column's text and a terminating zero into `field`; never a
  // byte outside it.
  template <std::size_t N>
  void CopyText(int column, char (&field)[N]) const {
    const std::string_view text = Text(column, N);
    field[text.copy(field, text.size())] = '\0';
  }

 private:
  std::string_view Field(int column) const;
  DownloadFileError Refused(const std::string& message, int column, std::string reason) const;

  std::string_view line_;
  int lineNumber_;
  DownloadText& texts_;
};
