// The daily journal: the lines a run writes to the activity log, each with
// the local time it was written, kept in one file per day
// (Orlent-YYYY-MM-DD.log, the local date of the line) so that what happened
// last night can still be read after the window has closed, also after a
// crash. A line of a terminal's work carries that terminal's address, so
// that the lines of terminals served at the same time, written as they
// happen, can be told apart. Several Orlent processes may append to the same
// day's file: each line goes out whole, in one write to a file opened for
// appending. Only a regular file is written: anything else at the day's
// name (a FIFO, a device, a symbolic link) counts as a journal that cannot
// be written, and is never waited on. Journals more than 90 days old are
// removed when a day's file is opened. A journal that cannot be written
// never stops the work; its first failure is given out once, to be reported.
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>

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

  // Appends `line` of the work of `terminal` (an address; empty: a line of
  // no terminal's), after that terminal's held line if there is one.
  void Write(const std::string& line, const std::string& terminal = {});
  // `line` is still changing in place (a running count): it takes the place
  // of the terminal's held line, and only its last form is written, by the
  // terminal's next Write or by Release, with the time of that form.
  void Hold(const std::string& line, const std::string& terminal = {});
  // Writes every held line.
  void Release();
  // "<file>: <reason>" of the first line that could not be written, given
  // once; nothing before a failure and nothing ever after.
  std::optional<std::string> TakeFailure();

 private:
  struct Line {
    std::chrono::local_seconds time;
    std::string text;
  };
  void ReleaseOf(const std::string& terminal);
  void Append(const Line& line, const std::string& terminal);
  bool OpenFor(std::chrono::year_month_day day);
  void Fail(const std::string& path, const std::string& reason);
  void CloseFile();

  std::string folder_;
  LocalClock clock_;
  int file_ = -1;                      // the open day's file, or -1
  std::chrono::year_month_day day_{};  // the date of the open file
  std::map<std::string, Line> held_;   // by terminal
  std::string failure_;                // the first failure, until given out
  bool failed_ = false;
};
