// Why a download file was refused, and where: the system's own message text
// for the error box, and the line, column and reason that the box adds to it.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

inline constexpr const char* kInputFileError = "Error in input file !";
inline constexpr const char* kIoError = "I/O Error !";

// Stops reading a download file. what() is the message alone; Describe adds
// the place, so that the operator can find and mend the fault.
class DownloadFileError : public std::runtime_error {
 public:
  // `line` and `column` count from 1; 0 where the fault has no line or column.
  DownloadFileError(const std::string& message, int line, int column, std::string reason)
      : std::runtime_error(message), line_(line), column_(column), reason_(std::move(reason)) {}

  int Line() const { return line_; }
  int Column() const { return column_; }
  const std::string& Reason() const { return reason_; }

  // The error box text: the message, then "(file, line L, column C: reason)"
  // with the parts that are known. `path` is shown by its file name.
  std::string Describe(std::string_view path) const;

 private:
  int line_;
  int column_;
  std::string reason_;
};

// Below a blank, or DEL: what would break a record's line, or a message's.
inline bool IsControlCharacter(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte < 0x20 || byte == 0x7F;
}

// A column's text as a reason quotes it: cut after 40 characters, control
// characters written as \xNN, so that the message stays on one line.
std::string Quoted(std::string_view text);
