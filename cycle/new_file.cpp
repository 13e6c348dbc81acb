#include "cycle/new_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>

namespace {

// No folder holds that many receives of one kind, terminal and day; a series
// that long is given up rather than searched for ever.
constexpr int kLastOfSeries = 100000;

std::runtime_error Failure(const char* what, const std::string& path, int error) {
  return std::runtime_error(std::string(what) + " \"" + path + "\". " + std::strerror(error));
}

// Renames `from` to `to` unless `to` exists (as anything, a dangling link
// too). Returns 0, or the error: EEXIST when `to` is taken.
int RenameNoReplace(const std::string& from, const std::string& to) {
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return errno;
  // A file system that cannot rename without replacing: a second name, which
  // is refused when taken, then the first one gone.
  if (link(from.c_str(), to.c_str()) != 0) return errno;
  unlink(from.c_str());
  return 0;
}

}  // namespace

std::string SeriesPath(const std::string& folder, const std::string& stem, int n,
                       const std::string& ext) {
  const std::string name = n == 1 ? stem + ext : stem + "_" + std::to_string(n) + ext;
  return (std::filesystem::path(folder) / name).string();
}

int CreateNewFile(const std::string& folder, const std::string& stem, const std::string& ext,
                  std::string& path) {
  for (int n = 1; n <= kLastOfSeries; ++n) {
    path = SeriesPath(folder, stem, n, ext);
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0) return fd;
    if (errno != EEXIST) throw Failure("Cannot create file", path, errno);
  }
  throw Failure("Cannot create file", path, EEXIST);
}

std::string MoveToNewName(const std::string& from, const std::string& folder,
                          const std::string& stem, const std::string& ext,
                          const AlsoTaken& alsoTaken) {
  for (int n = 1; n <= kLastOfSeries; ++n) {
    const std::string path = SeriesPath(folder, stem, n, ext);
    if (alsoTaken && alsoTaken(path)) continue;
    const int error = RenameNoReplace(from, path);
    if (error == 0) return path;
    if (error != EEXIST) throw Failure("Cannot rename file", from, error);
  }
  throw Failure("Cannot rename file", from, EEXIST);
}
