#include "session/upload_file.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

std::unique_ptr<UploadFile> UploadFile::Create(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "w+b");
  if (!file) {
    throw std::runtime_error("Cannot create file \"" + path + "\". " + std::strerror(errno));
  }
  return std::unique_ptr<UploadFile>(new UploadFile(file, path));
}

std::unique_ptr<UploadFile> UploadFile::Adopt(int fd, const std::string& path) {
  std::FILE* file = fdopen(fd, "r+b");
  if (!file) {
    const int error = errno;
    close(fd);
    throw std::runtime_error("Cannot create file \"" + path + "\". " + std::strerror(error));
  }
  return std::unique_ptr<UploadFile>(new UploadFile(file, path));
}

UploadFile::~UploadFile() {
  std::fclose(file_);
}

bool UploadFile::Write(const std::string& bytes) {
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size();
  if (std::fflush(file_) != 0 || !written) failed_ = true;
  return !failed_;
}
