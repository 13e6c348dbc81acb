// What the program tells the front end showing it. The Qt window draws from
// it, the command-line front end prints from it, tests record it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "session/terminal_state.h"

// Where an edit of the terminal list leaves the operator's keys.
enum class FocusTarget {
  NewAddress,    // the field a new or replacing address is typed into
  TerminalList,  // the list itself
};

class ProgramView {
 public:
  virtual ~ProgramView() = default;
  virtual void LogAppended(const std::string& line) = 0;
  virtual void LogReplaced(std::size_t index, const std::string& line) = 0;
  virtual void LogCleared() = 0;
  // The terminal list's entries, ticks or selection, or the port, changed.
  virtual void TerminalListChanged() = 0;
  // A terminal's state changed: the phase of its session, or how far its
  // transfer has come. A front end that shows no state per terminal lets it pass.
  virtual void TerminalStateChanged(const TerminalState& state) = 0;
  // The modal error box: title "ERROR", `text`, one OK button. Returns after OK.
  virtual void ShowError(const std::string& text) = 0;
  // A failure that escaped a handler, shown by the default error handling
  // (title "Orlent"); the program goes on running.
  virtual void ShowFailure(const std::string& text) = 0;
  virtual void FocusSet(FocusTarget target) = 0;
  // One event has been handled: the send file, the data kind or whether a
  // cycle runs may have changed. Called once after every handled event.
  virtual void EventHandled() = 0;
  // A terminal's report of data type `code` has been received whole into the
  // file at `path`; the window opens a view on it.
  virtual void ReportReceived(const std::string& /*path*/, uint8_t /*code*/) {}
  // A word to the operator that is no line of the activity log: the window
  // shows it in its status bar, the console on standard error.
  virtual void StatusMessage(const std::string& /*text*/) {}
};
