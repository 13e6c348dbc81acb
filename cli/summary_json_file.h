// The file a run's --summary-json names. It is claimed before any terminal
// is contacted, so that a run whose summary could not be kept is refused
// before it has done anything; what the file held stays until the run's
// summary replaces it at the end.
#pragma once

#include <string>

class SummaryJsonFile {
 public:
  // Claims `path` (empty: no summary file, nothing claimed). Throws
  // ExitStatus 2, "cannot write the summary to PATH: reason", when it
  // cannot be written.
  explicit SummaryJsonFile(std::string path);
  // A file the claim made and the run never wrote is removed again.
  ~SummaryJsonFile();
  SummaryJsonFile(const SummaryJsonFile&) = delete;
  SummaryJsonFile& operator=(const SummaryJsonFile&) = delete;

  // Makes `json` the file's whole content: a regular file is replaced by a
  // new one renamed over it, so that a reader finds the old summary or the
  // new one, never a part; where its folder takes no new file, it is
  // rewritten in place. Anything else (a pipe) is written to. Throws
  // ExitStatus 2 when it cannot be written. Nothing for an empty path.
  void Write(const std::string& json);

 private:
  [[noreturn]] void Refuse(int error) const;

  std::string path_;
  int fd_ = -1;  // the claimed file, open for writing, not emptied
  bool regular_ = false;
  bool created_ = false;  // the claim made the file
  bool written_ = false;
};
