// ReceiveJob: a receive cycle's work on each terminal: the upload of one kind
// of records or one report into a file of its own in a folder, named by the
// kind, the terminal's address and the local date of its start. Whoever runs
// the cycle hears of each file that a terminal filled completely.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "cycle/cycle_job.h"

class ReceiveJob : public CycleJob {
 public:
  using Clock = std::function<std::chrono::local_seconds()>;
  // A terminal's file at `path` holds all it had of data type `code`.
  using Complete = std::function<void(const std::string& path, uint8_t code)>;

  ReceiveJob(uint8_t code, std::string folder, Clock clock, Complete complete);
  void Start(TerminalSession& session) override;
  void Finished(TerminalSession& session) override;

 private:
  uint8_t code_;
  std::string folder_;
  Clock clock_;
  Complete complete_;
  std::map<const TerminalSession*, std::string> paths_;  // each running session's file
};
