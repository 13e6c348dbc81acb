#include "records/download_text.h"

#include <algorithm>
#include <cstdio>

#include "records/download_file_error.h"
#include "records/line_reader.h"
#include "text/utf8.h"

namespace {

// The refusal of a file that holds UTF-8 and also a byte that is not: at the
// byte `at` of line `lineNumber`, by its column and its character in it.
DownloadFileError MixedBytes(std::string_view line, std::size_t at, int lineNumber) {
  const std::string_view before = line.substr(0, at);
  const std::size_t columnStart = before.rfind('\t') + 1;  // 0 when there is no tab
  const auto column = static_cast<int>(std::count(before.begin(), before.end(), '\t')) + 1;
  char byte[8];
  std::snprintf(byte, sizeof byte, "0x%02X", static_cast<unsigned char>(line[at]));
  return DownloadFileError(kInputFileError, lineNumber, column,
                           std::string("byte ") + byte + " at character " +
                               std::to_string(CharactersIn(before.substr(columnStart)) + 1) +
                               " is not UTF-8; the file mixes UTF-8 and other bytes: save it "
                               "in one character set");
}

// Reads the file once more, line by line: true when it holds UTF-8 only,
// false when it holds no valid character of two bytes or more (nor a byte
// order mark) and so is in another set. A file with both is refused at its
// first byte that is not UTF-8.
bool HoldsUtf8(const std::string& path) {
  LineReader reader(path);
  reader.RequireOpen();
  bool multiByte = false;
  std::optional<DownloadFileError> firstInvalid;
  std::string line;
  while (reader.ReadLine(line)) {
    multiByte = multiByte || reader.SkippedByteOrderMark();
    if (IsAscii(line)) continue;
    const Utf8Scan scan = ScanUtf8(line);
    multiByte = multiByte || scan.multiByte;
    if (!firstInvalid && scan.firstInvalid != std::string_view::npos) {
      firstInvalid = MixedBytes(line, scan.firstInvalid, reader.LineNumber());
    }
    if (multiByte && firstInvalid) throw *firstInvalid;
  }
  return !firstInvalid;
}

}  // namespace

bool DownloadText::FileIsUtf8() {
  if (!utf8_) utf8_ = HoldsUtf8(path_);
  return *utf8_;
}

std::string_view DownloadText::InTerminalSet(std::string_view text, int line, int column) {
  if (codePage_.PassesBytes() || IsAscii(text) || !FileIsUtf8()) return text;
  TerminalText converted = codePage_.FromUtf8(text);
  if (converted.missing) {
    throw DownloadFileError(kInputFileError, line, column,
                            Quoted(converted.missing->character) + " at character " +
                                std::to_string(converted.missing->position) +
                                " is not in the terminal's character set " + codePage_.Name());
  }
  converted_ = std::move(converted.bytes);
  return converted_;
}
