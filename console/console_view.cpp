#include "console/console_view.h"

ConsoleView::ConsoleView(std::FILE* out, std::FILE* err, bool inPlace, FailureLine failureLine)
    : out_(out), err_(err), inPlace_(inPlace), failureLine_(failureLine) {}

void ConsoleView::LogAppended(const std::string& line) {
  if (onLogLine) onLogLine(line);
  Finish();
  ++lines_;
  last_ = line;
  held_ = out_ != nullptr;
  if (inPlace_ && held_) {
    std::fputs(line.c_str(), out_);
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
  if (!held_) return;
  if (!inPlace_) std::fputs(last_.c_str(), out_);
  std::fputc('\n', out_);
  std::fflush(out_);
  held_ = false;
}

void ConsoleView::ShowError(const std::string& text) {
  errors_.push_back(text);
  std::fprintf(err_, "ERROR: %s\n", text.c_str());
  std::fflush(err_);
}

void ConsoleView::ShowFailure(const std::string& text) {
  errors_.push_back(text);
  ++failures_;
  const char* mark = failureLine_ == FailureLine::MarkedAsError ? "ERROR: " : "";
  std::fprintf(err_, "%s%s\n", mark, text.c_str());
  std::fflush(err_);
}
