// The activity log: the operator's running record of what the program did.
// Lines are only appended, replaced in place, or all removed together.
#include <stdexcept>
#include <string>

#include "model/program.h"

void Program::AddLog(const std::string& text) {
  ActivityLog.Items.push_back(text);
  View.LogAppended(text);
}

void Program::ReplaceLogLine(const std::string& text, int index) {
  if (index < 0 || index >= static_cast<int>(ActivityLog.Items.size())) {
    throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
  }
  ActivityLog.Items[index] = text;
  View.LogReplaced(static_cast<std::size_t>(index), text);
}

void Program::ClearLog() {
  ActivityLog.Items.clear();
  View.LogCleared();
  AddLog(kWindowCaption);
}
