// The file an upload writes, one line per received record.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

class UploadFile {
 public:
  // Creates `path` (a new file, or an existing one emptied). Throws
  // std::runtime_error "Cannot create file "<path>". <reason>" on failure.
  static std::unique_ptr<UploadFile> Create(const std::string& path);
  // Takes over `fd`, a file made and opened for writing by whoever names it
  // (a receive's new file), as the upload file `path`.
  static std::unique_ptr<UploadFile> Adopt(int fd, const std::string& path);
  ~UploadFile();
  UploadFile(const UploadFile&) = delete;
  UploadFile& operator=(const UploadFile&) = delete;

  // Appends `bytes` and hands them to the system before returning, so a line
  // is in the file before the next request goes out. Returns false on failure.
  bool Write(const std::string& bytes);
  // A write has failed: the file lacks a line.
  bool Failed() const { return failed_; }
  const std::string& Path() const { return path_; }

 private:
  UploadFile(std::FILE* file, std::string path) : file_(file), path_(std::move(path)) {}
  std::FILE* file_;
  std::string path_;
  bool failed_ = false;
};
