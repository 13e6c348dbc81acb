#include "records/download_text.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "records/download_file_error.h"
#include "text/utf8.h"

namespace {

// Reads the file once more, in blocks; a character cut by the end of a block
// is carried over to the next one.
bool HoldsValidUtf8(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) {
    throw DownloadFileError(kIoError, 0, 0,
                            std::string("the file cannot be read: ") + std::strerror(errno));
  }
  std::vector<char> block(64 * 1024);
  std::string carried;
  bool valid = true;
  while (valid) {
    const std::size_t read = std::fread(block.data(), 1, block.size(), file);
    if (read == 0) break;
    carried.append(block.data(), read);
    const std::size_t whole = ValidUtf8Prefix(carried);
    // A character is at most four bytes long.
    valid = carried.size() - whole < 4;
    carried.erase(0, whole);
  }
  const bool failed = std::ferror(file);
  std::fclose(file);
  if (failed) throw DownloadFileError(kIoError, 0, 0, "the file cannot be read");
  return valid && carried.empty();
}

}  // namespace

bool DownloadText::FileIsUtf8() {
  if (!utf8_) utf8_ = HoldsValidUtf8(path_);
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
