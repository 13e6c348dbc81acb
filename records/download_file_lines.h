// A download file as the item editor keeps it: every line's bytes and its
// own line end, a UTF-8 byte order mark or a closing Ctrl-Z as they were, so
// that a file written back holds the bytes of every line nobody changed.
#pragma once

#include <string>
#include <vector>

struct FileLine {
  std::string text;  // without its line end
  std::string end;   // "\r\n", "\n", or empty for a last line that has none
};

struct DownloadFileLines {
  std::string byteOrderMark;  // the UTF-8 one, when the file begins with it
  std::vector<FileLine> lines;
  std::string ctrlZ;  // a Ctrl-Z that ends the file
  // The line end of a line added: the file's first, CR LF in a file of none.
  std::string usualEnd = "\r\n";
};

// Splits `bytes` into lines at LF, each line keeping a CR before it as part
// of its end.
DownloadFileLines SplitFileLines(const std::string& bytes);

// The bytes of `file`: each line with its end; a line that has none but is
// not the last gets the usual one.
std::string JoinFileLines(const DownloadFileLines& file);

// Reads the file at `path`; false with `error` set when it cannot be read.
bool ReadFileLines(const std::string& path, DownloadFileLines& file, std::string& error);

// Replaces the file at `path` with `file` in one atomic step (a temporary
// file in the same folder, flushed, renamed over it); false with `error` set
// and the file as it was when that fails.
bool SaveFileLines(const std::string& path, const DownloadFileLines& file, std::string& error);
