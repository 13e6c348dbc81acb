// The texts of one download file as the terminal is to store them. A file
// that is valid UTF-8 as a whole has its texts converted to the terminal's
// character set. A file with no valid character of two bytes or more (and no
// UTF-8 byte order mark) is taken to be in that set already, as files from
// older systems are, and its bytes stay as they are. A file that holds both
// UTF-8 and bytes that are not (one name typed elsewhere) is refused: either
// way some of its texts would reach the terminal garbled. What the file is
// is found out once, at its first text that is not plain ASCII: a file of
// plain ASCII is never scanned nor converted.
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
  // set lacks throws DownloadFileError "Error in input file !" naming it; a
  // file that mixes UTF-8 and other bytes throws it with the place of its
  // first byte that is not UTF-8.
  std::string_view InTerminalSet(std::string_view text, int line, int column);

  const CodePage& Page() const { return codePage_; }
  // Takes the file to be UTF-8 or not without reading it: for texts that
  // are to be written into it, as the item editor checks them.
  void TakeAsUtf8(bool utf8) { utf8_ = utf8; }

 private:
  bool FileIsUtf8();

  std::string path_;
  const CodePage& codePage_;
  std::optional<bool> utf8_;
  std::string converted_;
};
