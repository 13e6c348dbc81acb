// LineReader: a download file read as a text file, one line at a time. Lines
// end with CR LF or LF, and a Ctrl-Z character ends the file.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

class LineReader {
 public:
  explicit LineReader(const std::string& path);
  ~LineReader();
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  bool IsOpen() const { return file_ != nullptr; }
  // Reads the next line, without its line end, into `line`. Returns false at
  // the end of the file and on a read error; Failed() tells the two apart.
  bool ReadLine(std::string& line);
  bool Failed() const { return failed_; }

 private:
  bool Fill();

  std::FILE* file_;
  std::vector<char> buffer_;
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
  bool atEnd_ = false;
  bool failed_ = false;
};
