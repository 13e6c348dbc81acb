// The per-terminal summary that `orlent-cli send` prints at its end, gathered
// from the activity log as the send cycle writes it and from the transfer
// state: each terminal's outcome with its reason, and the records that the
// terminal acknowledged as stored.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

class Program;

class SendSummary {
 public:
  // The run's start is taken now, as the local date and time.
  explicit SendSummary(const Program& program);

  // Feed every line appended to the activity log.
  void OnLogLine(const std::string& line);
  // True when every terminal served stored every record handed over.
  bool AllSent() const;
  void Print(std::FILE* out) const;

 private:
  struct Terminal {
    std::string address;
    std::string outcome;  // "sent", or why not: "connect failed", "timed out", ...
    uint32_t stored = 0;  // records the terminal acknowledged as stored
    std::chrono::steady_clock::time_point start;
    double seconds = 0;
    bool ended = false;
  };
  void Begin(const std::string& address, const std::string& outcome, bool ended);
  void Update(Terminal& terminal) const;

  const Program& program_;
  std::time_t started_;
  bool inUse_ = false;  // the next failed connect is a terminal in use
  std::vector<Terminal> terminals_;
};
