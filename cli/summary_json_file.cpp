#include "cli/summary_json_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "cli/cli_run.h"
#include "settings/atomic_file.h"

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
  if (regular_ && ReplaceFileAtomically(path_, json)) return;
  const bool inPlace = !regular_ || (::ftruncate(fd_, 0) == 0 && ::lseek(fd_, 0, SEEK_SET) == 0);
  if (!inPlace || !WriteAll(fd_, json)) Refuse(errno);
}

void SummaryJsonFile::Refuse(int error) const {
  throw ExitStatus(2, "cannot write the summary to " + path_ + ": " + std::strerror(error));
}
