// The per-terminal summary that `orlent-cli send` prints at its end, gathered
// from the activity log as the send cycle writes it.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

class TForm1;

class SendSummary {
 public:
  explicit SendSummary(const TForm1& form) : form_(form) {}

  // Feed every line appended to the activity log.
  void OnLogLine(const std::string& line);
  // True when every terminal served reached its completion line.
  bool AllSent() const;
  void Print(std::FILE* out) const;

 private:
  struct Terminal {
    std::string address;
    std::string outcome;  // "sent", "connect failed", "send failed", "timed out", ...
    uint32_t records = 0;
    std::chrono::steady_clock::time_point start;
    double seconds = 0;
  };
  void Finish(const std::string& outcome);

  const TForm1& form_;
  std::vector<Terminal> terminals_;
};
