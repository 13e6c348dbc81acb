#include "terminals/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace {

bool WriteAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// Gives the new file the permission bits of the one it replaces; a file that
// cannot take them still holds the right bytes, so this is best effort.
void KeepPermissions(int fd, const std::string& path) {
  struct stat old {};
  if (stat(path.c_str(), &old) == 0) (void)fchmod(fd, old.st_mode & 07777);
}

std::string FolderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Makes the rename itself durable. The new file is already in place whatever
// happens here, so a failure is not reported.
void SyncFolder(const std::string& path) {
  const int fd = open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  (void)fsync(fd);
  close(fd);
}

}  // namespace

FileContent ReadWholeFile(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {errno == ENOENT ? ReadStatus::Missing : ReadStatus::Failed, {}};
  FileContent content{ReadStatus::Ok, {}};
  char buffer[65536];
  for (;;) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      content = {ReadStatus::Failed, {}};
      break;
    }
    if (n == 0) break;
    content.bytes.append(buffer, static_cast<std::size_t>(n));
  }
  close(fd);
  return content;
}

std::string TemporaryPathFor(const std::string& path) {
  // One name per process: two programs sharing a folder never write the same
  // temporary file, and one left by a crash is simply written over.
  return path + "." + std::to_string(getpid()) + ".tmp";
}

bool ReplaceFileAtomically(const std::string& path, const std::string& bytes) {
  const std::string temporary = TemporaryPathFor(path);
  const int fd =
      open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
  if (fd < 0) return false;
  KeepPermissions(fd, path);
  bool ok = WriteAll(fd, bytes) && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  ok = ok && std::rename(temporary.c_str(), path.c_str()) == 0;
  if (!ok) {
    unlink(temporary.c_str());
    return false;
  }
  SyncFolder(path);
  return true;
}
