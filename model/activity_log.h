// The activity log: the operator's running record of what the program did,
// shown by the front end as it changes. Lines are only appended, replaced in
// place, or all removed together.
#pragma once

#include <string>
#include <vector>

#include "model/program_view.h"

class ActivityLog {
 public:
  explicit ActivityLog(ProgramView& view) : view_(view) {}

  const std::vector<std::string>& Lines() const { return lines_; }
  // An empty text gives a blank line.
  void Append(const std::string& text);
  // Throws std::out_of_range, changing nothing, for a line that is not there.
  void Replace(const std::string& text, int index);
  // A PLU download's running count replaces the log's last line when that is
  // an earlier count, so the log keeps one line for it; any other line is appended.
  void Show(const std::string& line, bool progress);
  // Every line goes.
  void Clear();

 private:
  ProgramView& view_;
  std::vector<std::string> lines_;
};
