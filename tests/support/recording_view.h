// A view that records what the core tells the window, for tests.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "model/program_view.h"

class RecordingView : public ProgramView {
 public:
  void LogAppended(const std::string& line) override { appended.push_back(line); }
  void LogReplaced(std::size_t index, const std::string& line) override {
    replaced.emplace_back(index, line);
  }
  void LogCleared() override { ++clears; }
  void TerminalListChanged() override { ++terminalListChanges; }
  void TerminalStateChanged(const TerminalState& state) override {
    if (phases.empty() || phases.back() != std::pair(state.address, state.phase)) {
      phases.emplace_back(state.address, state.phase);
    }
    states.push_back(state);
  }
  void ShowError(const std::string& text) override { errors.push_back(text); }
  void ShowFailure(const std::string& text) override { failures.push_back(text); }
  void FocusSet(FocusTarget target) override {
    focus.push_back(target == FocusTarget::NewAddress ? "AddressBox" : "TerminalList");
  }
  void EventHandled() override { ++eventsHandled; }
  void ReportReceived(const std::string& path, uint8_t code) override {
    reports.emplace_back(path, code);
  }
  void StatusMessage(const std::string& text) override { statusMessages.push_back(text); }

  std::vector<std::string> appended;
  std::vector<std::pair<std::size_t, std::string>> replaced;
  int clears = 0;
  int terminalListChanges = 0;
  std::vector<std::pair<std::string, SessionPhase>> phases;  // each change of phase
  std::vector<TerminalState> states;                         // every state reported
  std::vector<std::string> errors;                           // error boxes, in order
  std::vector<std::string> failures;  // failures shown by the default error handling
  std::vector<std::string> focus;     // the window's names of the fields given the focus
  int eventsHandled = 0;
  std::vector<std::pair<std::string, uint8_t>> reports;  // report files received whole
  std::vector<std::string> statusMessages;
};
