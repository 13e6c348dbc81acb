#include "records/download_file_lines.h"

#include <cerrno>
#include <cstring>

#include "settings/atomic_file.h"

namespace {

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

}  // namespace

DownloadFileLines SplitFileLines(const std::string& bytes) {
  DownloadFileLines file;
  std::string_view rest = bytes;
  if (rest.starts_with(kByteOrderMark)) {
    file.byteOrderMark = kByteOrderMark;
    rest.remove_prefix(file.byteOrderMark.size());
  }
  if (rest.ends_with('\x1A')) {
    file.ctrlZ = "\x1A";
    rest.remove_suffix(1);
  }
  bool endSeen = false;
  while (!rest.empty()) {
    const std::size_t lf = rest.find('\n');
    FileLine line{std::string(rest.substr(0, lf)), ""};
    if (lf != std::string_view::npos) {
      line.end = "\n";
      if (line.text.ends_with('\r')) {
        line.text.pop_back();
        line.end = "\r\n";
      }
      if (!endSeen) file.usualEnd = line.end;
      endSeen = true;
    }
    rest.remove_prefix(lf == std::string_view::npos ? rest.size() : lf + 1);
    file.lines.push_back(std::move(line));
  }
  return file;
}

std::string JoinFileLines(const DownloadFileLines& file) {
  std::string bytes = file.byteOrderMark;
  for (std::size_t i = 0; i < file.lines.size(); ++i) {
    const FileLine& line = file.lines[i];
    const bool last = i + 1 == file.lines.size();
    bytes += line.text;
    bytes += line.end.empty() && !last ? file.usualEnd : line.end;
  }
  return bytes + file.ctrlZ;
}

bool ReadFileLines(const std::string& path, DownloadFileLines& file, std::string& error) {
  const FileContent content = ReadWholeFile(path);
  if (content.status != ReadStatus::Ok) {
    error = "Cannot read " + path +
            (content.status == ReadStatus::Missing ? ": there is no such file" : "");
    return false;
  }
  file = SplitFileLines(content.bytes);
  return true;
}

bool SaveFileLines(const std::string& path, const DownloadFileLines& file, std::string& error) {
  errno = 0;
  if (ReplaceFileAtomically(path, JoinFileLines(file))) return true;
  error = "Cannot save " + path + (errno != 0 ? std::string(": ") + std::strerror(errno) : "");
  return false;
}
