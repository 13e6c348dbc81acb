#include "model/activity_log.h"

#include <stdexcept>

#include "model/program.h"
#include "session/download.h"

void ActivityLog::Append(const std::string& text) {
  lines_.push_back(text);
  view_.LogAppended(text);
}

void ActivityLog::Replace(const std::string& text, int index) {
  if (index < 0 || index >= static_cast<int>(lines_.size())) {
    throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
  }
  lines_[index] = text;
  view_.LogReplaced(static_cast<std::size_t>(index), text);
}

void ActivityLog::Show(const std::string& line, bool progress) {
  if (progress && !lines_.empty() && IsProgressLine(lines_.back())) {
    Replace(line, static_cast<int>(lines_.size()) - 1);
  } else {
    Append(line);
  }
}

void ActivityLog::Clear() {
  lines_.clear();
  view_.LogCleared();
}

void Program::ClearLog() {
  log_.Clear();
  AddLog(kWindowCaption);
}
