// The daily journal: the lines a run writes to the activity log, each with
// the local time it was written, kept in one file per day
// (Orlent-YYYY-MM-DD.log, the local date of the line) so that what happened
// last night can still be read after the window has closed; without its
// timestamps, a journal reads as the log was printed. Several Orlent
// processes may append to the same day's file: each line goes out whole, in
// one write to a file opened for appending. Journals more than 90 days old
// are removed when a day's file is opened. A journal that cannot be written
// never stops the work; its first failure is given out once, to be reported.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <utility>

// The local time now, to the second.
using LocalClock = std::function<std::chrono::local_seconds()>;
std::chrono::local_seconds LocalNow();

class DailyJournal {
 public:
  // Keeps its files in `folder`, made on first use.
  DailyJournal(std::string folder, LocalClock clock);
  // A held line is written before the journal goes.
  ~DailyJournal();
  DailyJournal(const DailyJournal&) = delete;
  DailyJournal& operator=(const DailyJournal&) = delete;

  // Appends `line`, after the held line if there is one.
  void Write(const std::string& line);
  // `line` is still changing in place (a running count): it takes the place
  // of the held line, and only its last form is written, by the next Write
  // or Release, with the time of that form.
  void Hold(const std::string& line);
  // Writes the held line, if there is one.
  void Release();
  // "<file>: <reason>" of the first line that could not be written, given
  // once; nothing before a failure and nothing ever after.
  std::optional<std::string> TakeFailure();

 private:
  void Append(std::chrono::local_seconds time, const std::string& line);
  bool OpenFor(std::chrono::year_month_day day);
  void Fail(const std::string& path, int error);
  void CloseFile();

  std::string folder_;
  LocalClock clock_;
  int file_ = -1;                      // the open day's file, or -1
  std::chrono::year_month_day day_{};  // the date of the open file
  std::optional<std::pair<std::chrono::local_seconds, std::string>> held_;
  std::string failure_;  // the first failure, until given out
  bool failed_ = false;
};
