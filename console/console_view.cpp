#include "console/console_view.h"

#include <chrono>

#include "console/terminal_state_text.h"

namespace {

// A terminal a send cycle serves and that is not over yet.
bool Live(const TerminalState& state) {
  return state.entry >= 0 && !state.Failed() && state.phase != SessionPhase::Idle &&
         state.phase != SessionPhase::NotConnected && state.phase != SessionPhase::Disconnected;
}

}  // namespace

ConsoleView::ConsoleView(std::FILE* out, std::FILE* err, bool inPlace, FailureLine failureLine)
    : out_(out), err_(err), inPlace_(inPlace), failureLine_(failureLine) {}

void ConsoleView::LogAppended(const std::string& line) {
  if (onLogLine) onLogLine(line);
  ClearLiveLines();
  Finish();
  ++lines_;
  last_ = line;
  held_ = out_ != nullptr;
  if (inPlace_ && held_) {
    std::fputs(line.c_str(), out_);
    DrawLiveLines();
    std::fflush(out_);
  }
}

void ConsoleView::LogReplaced(std::size_t index, const std::string& line) {
  if (index + 1 != lines_ || !held_) return;  // only the last line can still change on screen
  last_ = line;
  if (inPlace_) {
    std::fprintf(out_, "\r%s\033[K", line.c_str());
    std::fflush(out_);
  }
}

void ConsoleView::LogCleared() {
  Finish();
  lines_ = 0;
}

void ConsoleView::Finish() {
  ClearLiveLines();
  if (!held_) return;
  if (!inPlace_) std::fputs(last_.c_str(), out_);
  std::fputc('\n', out_);
  std::fflush(out_);
  held_ = false;
}

void ConsoleView::TerminalStateChanged(const TerminalState& state) {
  if (!inPlace_ || !out_) return;
  const auto before = live_.find(state.entry);
  if (Live(state)) {
    const std::string line = state.address + "  " + TerminalStateText(state);
    const bool counting = before != live_.end() && state.phase == SessionPhase::Transferring;
    if (before != live_.end() && before->second == line) return;
    live_[state.entry] = line;
    // A count moves on with every answer: redrawn a few times a second, it
    // reads as well and costs the terminal far less.
    const auto now = std::chrono::steady_clock::now();
    if (counting && now - drawn_ < std::chrono::milliseconds(100)) return;
    drawn_ = now;
  } else if (before != live_.end()) {
    live_.erase(before);
  } else {
    return;
  }
  ClearLiveLines();
  DrawLiveLines();
  std::fflush(out_);
}

// The live lines stand below the log's last line, and the cursor stays at
// the end of that line, so the log goes on printing as if they were not there.
void ConsoleView::DrawLiveLines() {
  if (live_.empty()) return;
  for (const auto& [entry, line] : live_) std::fprintf(out_, "\n%s\033[K", line.c_str());
  std::fprintf(out_, "\033[%zuA\r", live_.size());
  if (held_) std::fputs(last_.c_str(), out_);
  liveShown_ = true;
}

void ConsoleView::ClearLiveLines() {
  if (!liveShown_) return;
  std::fputs("\033[J", out_);
  liveShown_ = false;
}

void ConsoleView::ShowError(const std::string& text) {
  errors_.push_back(text);
  std::fprintf(err_, "ERROR: %s\n", text.c_str());
  std::fflush(err_);
}

void ConsoleView::StatusMessage(const std::string& text) {
  std::fprintf(err_, "%s\n", text.c_str());
  std::fflush(err_);
}

void ConsoleView::ShowFailure(const std::string& text) {
  errors_.push_back(text);
  ++failures_;
  const char* mark = failureLine_ == FailureLine::MarkedAsError ? "ERROR: " : "";
  std::fprintf(err_, "%s%s\n", mark, text.c_str());
  std::fflush(err_);
}
