// The main window's view on a console, shared by the two front ends: the
// command line prints the activity log on standard output and every error box
// and failure on standard error; the window program's --version prints none
// of the log and only what would have been shown in a box.
#pragma once

#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "model/program_view.h"

class ConsoleView : public ProgramView {
 public:
  // How a failure that escaped a handler is written. The command line marks
  // it "ERROR: " like an error box, so a script finds every fault by one
  // prefix; the window program writes its bare text, as its failure box
  // shows it.
  enum class FailureLine { MarkedAsError, Bare };

  // `out` null: the log is not printed (commands whose output is not the log).
  // `inPlace`: `out` is a terminal, so a replaced last line is redrawn where
  // it stands, and below the log one live line per terminal a send cycle is
  // serving shows its state, gone once the terminal is done. Otherwise each line is printed once it
  // is final: the last line waits until the next one is added or Finish() is called.
  ConsoleView(std::FILE* out, std::FILE* err, bool inPlace,
              FailureLine failureLine = FailureLine::MarkedAsError);

  void LogAppended(const std::string& line) override;
  void LogReplaced(std::size_t index, const std::string& line) override;
  void LogCleared() override;
  void TerminalListChanged() override {}
  void TerminalStateChanged(const TerminalState& state) override;
  void ShowError(const std::string& text) override;
  void ShowFailure(const std::string& text) override;
  void FocusSet(FocusTarget) override {}
  void EventHandled() override {}
  void ReportReceived(const std::string& path, uint8_t code) override {
    if (onReportReceived) onReportReceived(path, code);
  }
  void StatusMessage(const std::string& text) override;

  // Prints the line still held back, if any.
  void Finish();
  // Called with every line appended to the log, before it is printed.
  std::function<void(const std::string&)> onLogLine;
  // Called with each report file a terminal filled completely.
  std::function<void(const std::string& path, uint8_t code)> onReportReceived;

  // Error boxes and failures shown so far, in order.
  const std::vector<std::string>& Errors() const { return errors_; }
  int Failures() const { return failures_; }

 private:
  void ClearLiveLines();
  void DrawLiveLines();

  std::FILE* out_;
  std::FILE* err_;
  bool inPlace_;
  FailureLine failureLine_;
  std::size_t lines_ = 0;  // lines in the log
  bool held_ = false;      // the log's last line is not printed (or not ended) yet
  std::string last_;
  std::map<int, std::string> live_;  // by entry: the live line of each terminal served
  bool liveShown_ = false;
  std::chrono::steady_clock::time_point drawn_;  // when a count was last redrawn
  std::vector<std::string> errors_;
  int failures_ = 0;
};
