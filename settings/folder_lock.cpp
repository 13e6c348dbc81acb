#include "settings/folder_lock.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <utility>

namespace {

constexpr off_t kEditByte = 0;
constexpr off_t kWindowByte = 1;

// Another process holds the range; any other failure (a file system without
// locks) lets the caller go on as where there is no lock file.
bool HeldElsewhere() {
  return errno == EAGAIN || errno == EACCES;
}

}  // namespace

FolderLock::FolderLock(std::string lockPath) : path_(std::move(lockPath)) {}

FolderLock::~FolderLock() {
  if (fd_ >= 0) close(fd_);
}

bool FolderLock::Open(bool create) {
  if (fd_ >= 0) return true;
  const int flags = O_RDWR | O_CLOEXEC | O_NOFOLLOW | (create ? O_CREAT : 0);
  fd_ = open(path_.c_str(), flags, 0666);
  return fd_ >= 0;
}

bool FolderLock::Set(short type, off_t offset, bool wait) {
  struct flock range {};
  range.l_type = type;
  range.l_whence = SEEK_SET;
  range.l_start = offset;
  range.l_len = 1;
  for (;;) {
    if (fcntl(fd_, wait ? F_OFD_SETLKW : F_OFD_SETLK, &range) == 0) return true;
    if (errno != EINTR) return false;
  }
}

void FolderLock::LockEdits(bool create) {
  TakeEdits(create, true);
}

bool FolderLock::TryLockEdits(bool create) {
  return TakeEdits(create, false);
}

bool FolderLock::TakeEdits(bool create, bool wait) {
  if (editDepth_ > 0 && (editHeld_ || !create)) {
    ++editDepth_;
    return true;
  }
  const bool opened = Open(create);
  const bool held = opened && Set(F_WRLCK, kEditByte, wait);
  if (opened && !held && !wait && HeldElsewhere()) return false;
  ++editDepth_;
  editHeld_ = held;
  return true;
}

void FolderLock::UnlockEdits() {
  if (editDepth_ == 0 || --editDepth_ > 0) return;
  if (editHeld_) Set(F_UNLCK, kEditByte, false);
  editHeld_ = false;
}

bool FolderLock::ClaimWindow() {
  if (!Open(true)) return true;
  // Under the edit lock, so an editor that finds the window lock taken also
  // finds this process's id written.
  LockEdits(true);
  const bool claimed = Set(F_WRLCK, kWindowByte, false) || !HeldElsewhere();
  if (claimed) {
    const std::string id = std::to_string(getpid()) + "\n";
    [[maybe_unused]] const int emptied = ftruncate(fd_, 0);
    [[maybe_unused]] const ssize_t written = pwrite(fd_, id.data(), id.size(), 0);
  }
  UnlockEdits();
  return claimed;
}

std::optional<pid_t> FolderLock::WindowHolder() {
  if (!Open(false)) return std::nullopt;
  struct flock probe {};
  probe.l_type = F_WRLCK;
  probe.l_whence = SEEK_SET;
  probe.l_start = kWindowByte;
  probe.l_len = 1;
  if (fcntl(fd_, F_OFD_GETLK, &probe) != 0 || probe.l_type == F_UNLCK) return std::nullopt;
  char text[24] = {};
  const ssize_t n = pread(fd_, text, sizeof text - 1, 0);
  pid_t id = 0;
  for (ssize_t i = 0; i < n && text[i] >= '0' && text[i] <= '9' && id < 100000000; ++i) {
    id = id * 10 + (text[i] - '0');
  }
  return id;
}

off_t FolderLock::TerminalOffset(const std::string& address) {
  // FNV-1a over the address text.
  uint64_t hash = 14695981039346656037ull;
  for (const unsigned char c : address) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  constexpr uint64_t kFirst = uint64_t{1} << 32;
  constexpr uint64_t kEnd = uint64_t{1} << 62;
  return static_cast<off_t>(kFirst + hash % (kEnd - kFirst));
}

bool FolderLock::LockTerminal(const std::string& address) {
  if (!Open(true)) return true;
  return Set(F_WRLCK, TerminalOffset(address), false) || !HeldElsewhere();
}

void FolderLock::UnlockTerminal(const std::string& address) {
  if (fd_ >= 0) Set(F_UNLCK, TerminalOffset(address), false);
}
