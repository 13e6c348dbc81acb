// The texts of one download file as the terminal is to store them. A file
// that is valid UTF-8 as a whole has its texts converted to the terminal's
// character set; any other file is taken to be in that set already, as files
// from older systems are, and its bytes stay as they are. Whether the file is
// UTF-8 is found out once, at its first text that is not plain ASCII: a file
// of plain ASCII is never scanned nor converted.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "text/code_page.h"

class DownloadText {
 public:
  DownloadText(std::string path, const CodePage& codePage)
      : path_(std::move(path)), codePage_(codePage) {}

  // The text of line `line`, column `column` in the terminal's set: `text`
  // itself, or its conversion, valid until the next call. A character the
  // set lacks throws DownloadFileError "Error in input file !" naming it.
  std::string_view InTerminalSet(std::string_view text, int line, int column);

  const CodePage& Page() const { return codePage_; }

 private:
  bool FileIsUtf8();

  std::string path_;
  const CodePage& codePage_;
  std::optional<bool> utf8_;
  std::string converted_;
};
