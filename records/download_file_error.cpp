#include "records/download_file_error.h"

#include <cstdio>
#include <filesystem>

std::string DownloadFileError::Describe(std::string_view path) const {
  std::string text = what();
  text += " (" + std::filesystem::path(path).filename().string();
  if (line_ > 0) text += ", line " + std::to_string(line_);
  if (column_ > 0) text += ", column " + std::to_string(column_);
  if (!reason_.empty()) text += ": " + reason_;
  return text + ")";
}

std::string Quoted(std::string_view text) {
  constexpr std::size_t kShown = 40;
  std::string quoted = "'";
  for (const char c : text.substr(0, kShown)) {
    if (IsControlCharacter(c)) {
      char escaped[5];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned char>(c));
      quoted += escaped;
    } else {
      quoted += c;
    }
  }
  return quoted + (text.size() > kShown ? "...'" : "'");
}
