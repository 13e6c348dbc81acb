// The record of one `orlent-cli verify`: when it ran, the download file it
// compared, and each terminal's result: how many of its records are the same
// as the file's, different, missing and only on the terminal, with the first
// differences; or why its records could not be read. Printed as a table on
// standard error, written as JSON for scripts with --summary-json, and read
// for the exit status. After a repair, each terminal's result is its final
// verdict, with what was sent to mend it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "cli/summary_run.h"
#include "model/terminal_result.h"

class VerifySummary {
 public:
  // The reads are over: the kind, the download file and its records, and
  // each judged terminal's result in list order. The run's end is taken now.
  void Finish(std::string kind, std::string file, uint32_t records,
              std::vector<TerminalResult> terminals);
  // 0 when every terminal holds exactly the file, 1 when any record differs,
  // is missing or extra, or a terminal could not be read.
  int ExitStatus() const;
  // What ran, the shop and the terminals' names, as the records call them.
  void NameRun(RunNames names) { run_.names = std::move(names); }
  // The values of the settings file set aside, each with the value used.
  void NameSetAside(std::vector<SetAsideSetting> settings) { run_.setAside = std::move(settings); }
  // The run repaired: `before` holds the first verdicts, `sends` the results
  // of the sends to the terminals that differed.
  void Repaired(const std::vector<TerminalResult>& before,
                const std::vector<TerminalResult>& sends);
  void Print(std::FILE* out) const;
  // The run as one JSON object; the fields are described in the README.
  std::string Json() const;

 private:
  SummaryRun run_;
  std::vector<TerminalResult> terminals_;
  bool repair_ = false;
  struct Repair {
    std::string before;  // the first verdict
    TerminalResult send;
  };
  std::map<std::string, Repair> repairs_;  // by address, of the terminals sent to
  std::string RepairJson(const std::string& address) const;
};
