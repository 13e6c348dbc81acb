// The record of one `orlent-cli send`: when it started and ended, what it
// sent, and each ticked terminal's end as the send cycle reports it (its
// outcome with its reason, the records it acknowledged as stored, the
// seconds its transfer took). Printed as a table on standard error, and
// written as JSON for scripts with --summary-json.
#pragma once

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "session/terminal_state.h"

class SendSummary {
 public:
  // The run's start is taken now.
  SendSummary();

  // The cycle is over: its kind, download file and records, and each ticked
  // entry's state in list order. The run's end is taken now.
  void Finish(std::string kind, std::string file, uint32_t records,
              std::vector<TerminalState> terminals);
  // True when every terminal served stored every record handed over.
  bool AllSent() const;
  void Print(std::FILE* out) const;
  // The run as one JSON object; the fields are described in the README.
  std::string Json() const;

 private:
  std::time_t started_;
  std::time_t ended_ = 0;
  std::string kind_;
  std::string file_;
  uint32_t records_ = 0;
  std::vector<TerminalState> terminals_;
};
