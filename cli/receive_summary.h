// The record of one `orlent-cli upload --terminal all`: when it started and
// ended, what it received into which folder, and each ticked terminal's end
// as the receive cycle reports it (its outcome with its reason, the records
// received, the seconds it took, the file written: complete, or named as
// incomplete). Printed as a table on standard error, and written as JSON for
// scripts with --summary-json.
#pragma once

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "cli/summary_run.h"
#include "model/terminal_result.h"

class ReceiveSummary {
 public:
  // The cycle is over: its kind, the folder its files went to, and each
  // ticked entry's result in list order. The run's end is taken now.
  void Finish(std::string kind, std::string folder, std::vector<TerminalResult> terminals);
  // What ran, the shop and the terminals' names, as the records call them.
  void NameRun(RunNames names) { run_.names = std::move(names); }
  // The values of Orlent.ini the run set aside, each with the value it used.
  void NameSetAside(std::vector<SetAsideSetting> settings) { run_.setAside = std::move(settings); }
  // True when every terminal's file holds all the terminal had.
  bool AllReceived() const;
  void Print(std::FILE* out) const;
  // The run as one JSON object; the fields are described in the README.
  std::string Json() const;

 private:
  SummaryRun run_;
  std::vector<TerminalResult> terminals_;
};
