// The file a run's --metrics names: the run's figures in the text format
// (metrics_text.h), replacing the file at the run's end in one rename, so
// that the textfile collector reads the former figures or the new ones,
// never a part.
#pragma once

#include <chrono>
#include <string>

#include "cli/metrics_text.h"

class MetricsFile {
 public:
  // Starts the run's clock. Throws ExitStatus 2, "cannot write the metrics
  // to PATH: reason", when `path` is a folder, a file this user may not
  // write, or in a folder that takes no new file, before the run has done
  // anything. An empty path: no file.
  explicit MetricsFile(std::string path);

  // Ends the run's clock and makes the figures of `run` (its end and duration
  // taken now) the file's whole content, with the last successes the file
  // held carried over. Throws ExitStatus 2 when it cannot be written.
  void Write(RunFigures run) const;

 private:
  [[noreturn]] void Refuse(const std::string& reason) const;

  std::string path_;
  std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
};
