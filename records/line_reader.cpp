#include "records/line_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string_view>

#include "records/download_file_error.h"

namespace {

constexpr char kCtrlZ = '\x1A';
constexpr std::size_t kBufferSize = 64 * 1024;
// What a UTF-8 editor may write before the first line.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Opens `path` for reading without blocking on a FIFO, and keeps it only when
// it is a regular file. Returns -1 with `failure` set otherwise.
int OpenRegularFile(const std::string& path, std::string& failure) {
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    failure = std::string("the file cannot be opened: ") + std::strerror(errno);
    return -1;
  }
  struct stat status {};
  if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    failure = S_ISDIR(status.st_mode) ? "a folder, not a file" : "not a regular file";
    close(fd);
    return -1;
  }
  // O_NONBLOCK changes nothing for the reading of a regular file.
  return fd;
}

}  // namespace

LineReader::LineReader(const std::string& path) {
  const int fd = OpenRegularFile(path, openFailure_);
  if (fd < 0) return;
  file_ = fdopen(fd, "rb");
  if (!file_) {
    openFailure_ = std::string("the file cannot be opened: ") + std::strerror(errno);
    close(fd);
    return;
  }
  buffer_.resize(kBufferSize);
}

LineReader::~LineReader() {
  if (file_) std::fclose(file_);
}

void LineReader::RequireOpen() const {
  if (!IsOpen()) throw DownloadFileError(kIoError, 0, 0, openFailure_);
}

bool LineReader::Fill() {
  if (atEnd_ || !file_) return false;
  end_ = std::fread(buffer_.data(), 1, buffer_.size(), file_);
  pos_ = 0;
  if (end_ > 0) return true;
  atEnd_ = true;
  if (std::ferror(file_)) {
    throw DownloadFileError(kIoError, lineNumber_, 0,
                            std::string("the file cannot be read: ") + std::strerror(errno));
  }
  return false;
}

// A Ctrl-Z ends the file only as its last byte: old editors put one there.
// Anywhere else it would silently drop the lines after it.
void LineReader::EndAtCtrlZ(std::size_t pos, std::size_t character) {
  bool more = pos + 1 < end_;
  if (!more) {
    pos_ = end_;
    more = Fill();
  }
  if (more) {
    throw DownloadFileError(kInputFileError, lineNumber_, 0,
                            "a Ctrl-Z at character " + std::to_string(character) +
                                " ends the file before its last byte");
  }
  pos_ = end_ = 0;
  atEnd_ = true;
}

bool LineReader::ReadLine(std::string& line) {
  const bool read = ReadRawLine(line);
  if (read && lineNumber_ == 1 && line.starts_with(kByteOrderMark)) {
    line.erase(0, kByteOrderMark.size());
    skippedByteOrderMark_ = true;
  }
  return read;
}

bool LineReader::ReadRawLine(std::string& line) {
  line.clear();
  ++lineNumber_;
  while (pos_ < end_ || Fill()) {
    const char* begin = buffer_.data() + pos_;
    const std::size_t available = end_ - pos_;
    const auto* newline = static_cast<const char*>(std::memchr(begin, '\n', available));
    const std::size_t length = newline ? static_cast<std::size_t>(newline - begin) : available;
    if (const auto* ctrlZ = static_cast<const char*>(std::memchr(begin, kCtrlZ, length))) {
      line.append(begin, ctrlZ);
      EndAtCtrlZ(static_cast<std::size_t>(ctrlZ - buffer_.data()), line.size() + 1);
      break;
    }
    line.append(begin, length);
    if (newline) {
      pos_ += length + 1;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      return true;
    }
    pos_ = end_;
  }
  // The last line may end without a line end.
  if (!line.empty()) return true;
  --lineNumber_;
  return false;
}
