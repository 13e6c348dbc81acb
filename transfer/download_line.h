// One line of a download file: whether it holds a record, and its
// tab-separated columns taken one at a time with the checks that every parser
// and "Read Data" share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

inline constexpr const char* kInputFileError = "Error in input file !";
inline constexpr const char* kIoError = "I/O Error !";

// Stops reading a download file; what() is the text for the error box.
class DownloadFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Empty lines and lines beginning with ";" hold no record.
inline bool IsSkippedLine(std::string_view line) {
  return line.empty() || line.front() == ';';
}

// The message for a data line found when the table is already full.
std::string TooManyRecordsMessage(int lineNumber);

// The columns of line `lineNumber` of a download file. Each column asked for
// lowers MissingFieldFlag first; a column that the line lacks throws
// DownloadFileError "Error in input file !", a number that does not convert
// "I/O Error !", a text longer than its field a message naming the line.
class LineColumns {
 public:
  LineColumns(std::string_view line, int lineNumber) : line_(line), lineNumber_(lineNumber) {}

  int32_t Number(int column) const;
  // Narrow fields keep the low 16 or 8 bits of the number.
  uint16_t U16(int column) const { return static_cast<uint16_t>(Number(column)); }
  uint8_t U8(int column) const { return static_cast<uint8_t>(Number(column)); }
  // The column's text, refused when it does not fit a field of `capacity`
  // bytes with its terminating zero.
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

  std::string_view line_;
  int lineNumber_;
};
