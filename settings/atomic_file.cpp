#include "settings/atomic_file.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <optional>

namespace {

// Gives the new file the owner and permission bits of the one it replaces; a
// file that cannot take them still holds the right bytes, so this is best
// effort.
void KeepOwnerAndPermissions(int fd, const std::string& path) {
  struct stat old {};
  if (stat(path.c_str(), &old) != 0) return;
  [[maybe_unused]] const int owner = fchown(fd, old.st_uid, old.st_gid);
  [[maybe_unused]] const int mode = fchmod(fd, old.st_mode & 07777);
}

std::string FolderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a chain of symbolic links at `path` ends in (`path` itself when it
// is no link); nothing for a chain that loops.
std::optional<std::string> ResolveLinks(std::string path) {
  for (int hops = 0; hops < 40; ++hops) {
    char target[PATH_MAX];
    const ssize_t n = readlink(path.c_str(), target, sizeof target);
    if (n < 0) return path;
    std::string next(target, static_cast<std::size_t>(n));
    path = next.starts_with('/') ? next : FolderOf(path) + "/" + next;
  }
  return std::nullopt;
}

// A read-only file is a promise that it stays as it is, so it is refused even
// to a user (root) whom the permissions would not stop.
bool MayReplace(const std::string& target) {
  struct stat info {};
  if (stat(target.c_str(), &info) != 0) return errno == ENOENT;
  if ((info.st_mode & 0222) == 0) return false;
  return faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) == 0;
}

// Makes the rename itself durable. The new file is already in place whatever
// happens here, so a failure is not reported.
void SyncFolder(const std::string& path) {
  const int fd = open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  (void)fsync(fd);
  close(fd);
}

// Gives the unnamed file its temporary name, taking the place of a leftover.
bool GiveName(int fd, const std::string& temporary) {
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temporary.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      return true;
    }
    if (errno != EEXIST || unlink(temporary.c_str()) != 0) return false;
  }
  return false;
}

enum class Outcome { Done, Failed, NoUnnamedFiles };

// Writes `bytes` to a temporary file beside `target` (unnamed until it is
// complete, or named from the start) and renames it over `target`.
Outcome WriteAndRename(const std::string& target, const std::string& bytes, bool unnamed) {
  const std::string temporary = TemporaryPathFor(target);
  const int fd = unnamed ? open(FolderOf(target).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666)
                         : open(temporary.c_str(),
                                O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
  if (fd < 0) {
    const bool unsupported = errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL;
    return unnamed && unsupported ? Outcome::NoUnnamedFiles : Outcome::Failed;
  }
  KeepOwnerAndPermissions(fd, target);
  bool ok = WriteAll(fd, bytes) && fsync(fd) == 0;
  // Without /proc an unnamed file cannot be given a name.
  bool nameless = false;
  if (ok && unnamed && !GiveName(fd, temporary)) {
    nameless = errno == ENOENT;
    ok = false;
  }
  ok = close(fd) == 0 && ok;
  ok = ok && std::rename(temporary.c_str(), target.c_str()) == 0;
  if (ok) return Outcome::Done;
  unlink(temporary.c_str());
  return nameless ? Outcome::NoUnnamedFiles : Outcome::Failed;
}

}  // namespace

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

FileContent ReadWholeFile(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return {errno == ENOENT ? ReadStatus::Missing : ReadStatus::Failed, {}};
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    return {ReadStatus::Failed, {}};
  }
  FileContent content{ReadStatus::Ok, {}};
  content.bytes.reserve(static_cast<std::size_t>(info.st_size));
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

std::string TemporaryPathFor(const std::string& target) {
  return target + ".tmp";
}

void RemoveLeftoverTemporary(const std::string& path) {
  if (const auto target = ResolveLinks(path)) unlink(TemporaryPathFor(*target).c_str());
}

bool ReplaceFileAtomically(const std::string& path, const std::string& bytes) {
  const auto target = ResolveLinks(path);
  if (!target || !MayReplace(*target)) return false;
  Outcome outcome = WriteAndRename(*target, bytes, true);
  if (outcome == Outcome::NoUnnamedFiles) outcome = WriteAndRename(*target, bytes, false);
  if (outcome != Outcome::Done) return false;
  SyncFolder(*target);
  return true;
}
