// LineReader: a download file read as a text file, one line at a time. Lines
// end with CR LF or LF; a Ctrl-Z may end the file only as its very last byte.
// A UTF-8 byte order mark that begins the file is no part of its first line.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

class LineReader {
 public:
  // Opens only a regular file, and never waits for a writer to appear (a
  // FIFO or a device named as a download file is refused, not read).
  explicit LineReader(const std::string& path);
  ~LineReader();
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  bool IsOpen() const { return file_ != nullptr; }
  // Why the file is not open, for the error box.
  const std::string& OpenFailure() const { return openFailure_; }
  // Refuses a file that is not open: throws DownloadFileError "I/O Error !"
  // with OpenFailure() as its reason.
  void RequireOpen() const;
  // Reads the next line, without its line end, into `line`. Returns false at
  // the end of the file. A read error, or a Ctrl-Z with bytes after it,
  // throws DownloadFileError "I/O Error !" or "Error in input file !" with
  // its line.
  bool ReadLine(std::string& line);
  // The number of the line last read, from 1.
  int LineNumber() const { return lineNumber_; }
  // The first line read began with a UTF-8 byte order mark, left out of it.
  bool SkippedByteOrderMark() const { return skippedByteOrderMark_; }

 private:
  bool ReadRawLine(std::string& line);
  bool Fill();
  void EndAtCtrlZ(std::size_t pos, std::size_t character);

  std::FILE* file_ = nullptr;
  std::string openFailure_;
  std::vector<char> buffer_;
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
  bool atEnd_ = false;
  int lineNumber_ = 0;
  bool skippedByteOrderMark_ = false;
};
