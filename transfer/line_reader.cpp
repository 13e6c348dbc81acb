#include "transfer/line_reader.h"

#include <cstring>

namespace {
constexpr char kCtrlZ = '\x1A';
constexpr std::size_t kBufferSize = 64 * 1024;
}  // namespace

LineReader::LineReader(const std::string& path) : file_(std::fopen(path.c_str(), "rb")) {
  if (file_) buffer_.resize(kBufferSize);
}

LineReader::~LineReader() {
  if (file_) std::fclose(file_);
}

bool LineReader::Fill() {
  if (atEnd_ || !file_) return false;
  end_ = std::fread(buffer_.data(), 1, buffer_.size(), file_);
  pos_ = 0;
  if (end_ > 0) return true;
  failed_ = std::ferror(file_) != 0;
  atEnd_ = true;
  return false;
}

bool LineReader::ReadLine(std::string& line) {
  line.clear();
  while (pos_ < end_ || Fill()) {
    const char* begin = buffer_.data() + pos_;
    const std::size_t available = end_ - pos_;
    const auto* newline = static_cast<const char*>(std::memchr(begin, '\n', available));
    const std::size_t length = newline ? static_cast<std::size_t>(newline - begin) : available;
    if (const void* ctrlZ = std::memchr(begin, kCtrlZ, length)) {
      line.append(begin, static_cast<const char*>(ctrlZ));
      atEnd_ = true;
      pos_ = end_ = 0;
      return !line.empty();
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
  return !line.empty() && !failed_;
}
