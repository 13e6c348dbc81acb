// The record of one `orlent-cli send`: when it started and ended, what it
// sent, and each ticked terminal's end as the send cycle reports it (its
// outcome with its reason, the records it acknowledged as stored, the
// seconds its transfer took). Printed as a table on standard error, and
// written as JSON for scripts with --summary-json.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "cli/summary_run.h"
#include "model/terminal_result.h"

class SendSummary {
 public:
  // The cycle is over: its kind, download file and records, and each ticked
  // entry's result in list order. The run's end is taken now.
  void Finish(std::string kind, std::string file, uint32_t records,
              std::vector<TerminalResult> terminals);
  // True when every terminal served stored every record handed over.
  bool AllSent() const;
  // What ran, the shop and the terminals' names, as the records call them.
  void NameRun(RunNames names) { run_.names = std::move(names); }
  // The values of the settings file set aside, each with the value used.
  void NameSetAside(std::vector<SetAsideSetting> settings) { run_.setAside = std::move(settings); }
  void Print(std::FILE* out) const;
  // The run as one JSON object; the fields are described in the README.
  std::string Json() const;

 private:
  SummaryRun run_;
  std::vector<TerminalResult> terminals_;
};
