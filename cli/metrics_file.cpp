#include "cli/metrics_file.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <utility>

#include "cli/cli_run.h"
#include "settings/atomic_file.h"

MetricsFile::MetricsFile(std::string path) : path_(std::move(path)) {
  if (path_.empty()) return;
  const std::filesystem::path file = std::filesystem::absolute(path_);
  std::error_code error;
  if (std::filesystem::is_directory(file, error)) Refuse("it is a folder");
  // The new file is made in the same folder and renamed over the old one.
  if (::access(file.parent_path().c_str(), W_OK | X_OK) != 0) Refuse(std::strerror(errno));
  if (std::filesystem::exists(file, error) && ::access(file.c_str(), W_OK) != 0)
    Refuse(std::strerror(errno));
}

void MetricsFile::Write(RunFigures run) const {
  if (path_.empty()) return;
  run.ended = std::time(nullptr);
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
  const FileContent previous = ReadWholeFile(path_);
  if (previous.status == ReadStatus::Failed) Refuse("its former figures cannot be read");
  errno = 0;
  if (!ReplaceFileAtomically(path_, MetricsText(run, previous.bytes)))
    Refuse(errno != 0 ? std::strerror(errno) : "it cannot be replaced");
}

void MetricsFile::Refuse(const std::string& reason) const {
  throw ExitStatus(2, "cannot write the metrics to " + path_ + ": " + reason);
}
