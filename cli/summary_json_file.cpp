#include "cli/summary_json_file.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <utility>

#include "cli/cli_run.h"

namespace {

bool WriteAll(int fd, const std::string& text) {
  for (std::size_t done = 0; done < text.size();) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

SummaryJsonFile::SummaryJsonFile(std::string path) : path_(std::move(path)) {
  if (path_.empty()) return;
  // Not emptied: a run that is refused or killed leaves the last summary.
  // Non-blocking, so that a FIFO without a reader refuses the run instead of
  // holding it.
  const int flags = O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
  fd_ = ::open(path_.c_str(), flags | O_CREAT | O_EXCL, 0666);
  created_ = fd_ >= 0;
  if (fd_ < 0 && errno == EEXIST) fd_ = ::open(path_.c_str(), flags);
  if (fd_ < 0) Refuse(errno);
  ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
  struct stat status {};
  regular_ = ::fstat(fd_, &status) == 0 && S_ISREG(status.st_mode);
}

SummaryJsonFile::~SummaryJsonFile() {
  if (fd_ < 0) return;
  if (created_ && !written_) ::unlink(path_.c_str());
  ::close(fd_);
}

void SummaryJsonFile::Write(const std::string& json) {
  if (path_.empty()) return;
  written_ = true;
  if (regular_ && Replace(json)) return;
  const bool inPlace = !regular_ || (::ftruncate(fd_, 0) == 0 && ::lseek(fd_, 0, SEEK_SET) == 0);
  if (!inPlace || !WriteAll(fd_, json)) Refuse(errno);
}

bool SummaryJsonFile::Replace(const std::string& json) {
  // Beside the file a link names, so that the rename replaces the file, not the link.
  std::error_code error;
  const std::filesystem::path real = std::filesystem::weakly_canonical(path_, error);
  if (error) return false;
  std::string temporary =
      (real.parent_path() / ("." + real.filename().string() + ".XXXXXX")).string();
  const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) return false;
  // The new file keeps the old one's permissions.
  struct stat status {};
  bool replaced = ::fstat(fd_, &status) == 0 && ::fchmod(fd, status.st_mode & 07777) == 0 &&
                  WriteAll(fd, json) && ::fsync(fd) == 0;
  replaced = ::close(fd) == 0 && replaced && ::rename(temporary.c_str(), real.c_str()) == 0;
  if (!replaced) ::unlink(temporary.c_str());
  return replaced;
}

void SummaryJsonFile::Refuse(int error) const {
  throw ExitStatus(2, "cannot write the summary to " + path_ + ": " + std::strerror(error));
}
