#include "model/journal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <utility>

namespace chr = std::chrono;
namespace fs = std::filesystem;

namespace {

constexpr int kKeptDays = 90;
constexpr const char* kNotRegular = "not a regular file";

// "2026-12-08T23:41:07 ": the line's local time, ISO 8601 to the second.
std::string Timestamp(chr::local_seconds time) {
  const auto midnight = chr::floor<chr::days>(time);
  const chr::year_month_day date{midnight};
  const chr::hh_mm_ss clock{time - midnight};
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d ", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                static_cast<int>(clock.hours().count()), static_cast<int>(clock.minutes().count()),
                static_cast<int>(clock.seconds().count()));
  return text;
}

// `line` with the timestamp and the terminal's address in brackets before
// it. A line break inside the line (an upload's record line, a CR LF and its
// writer's name after it) starts another line with the same beginning, so
// that each line of the journal reads as it was printed.
std::string Stamped(chr::local_seconds time, const std::string& terminal, const std::string& line) {
  const std::string stamp = Timestamp(time) + (terminal.empty() ? "" : "[" + terminal + "] ");
  std::string text;
  std::size_t start = 0;
  for (std::size_t end; (end = line.find('\n', start)) != std::string::npos; start = end + 1) {
    const std::size_t length = end - start - (end > start && line[end - 1] == '\r' ? 1 : 0);
    text += stamp + line.substr(start, length) + "\n";
  }
  return text + stamp + line.substr(start) + "\n";
}

// The number in `count` digits of `text` from `at`, or -1.
int Digits(const std::string& text, std::size_t at, std::size_t count) {
  int number = 0;
  for (std::size_t i = at; i < at + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return -1;
    number = number * 10 + (text[i] - '0');
  }
  return number;
}

// "Orlent-2026-12-08.log" for 8 December 2026.
std::string JournalName(chr::year_month_day day) {
  char name[32];
  std::snprintf(name, sizeof name, "Orlent-%04d-%02u-%02u.log", static_cast<int>(day.year()),
                static_cast<unsigned>(day.month()), static_cast<unsigned>(day.day()));
  return name;
}

// The date in a journal's file name; nothing for any other name.
std::optional<chr::year_month_day> JournalDate(const std::string& name) {
  // Orlent-YYYY-MM-DD.log
  if (name.size() != 21 || !name.starts_with("Orlent-") || !name.ends_with(".log") ||
      name[11] != '-' || name[14] != '-') {
    return std::nullopt;
  }
  const int year = Digits(name, 7, 4);
  const int month = Digits(name, 12, 2);
  const int day = Digits(name, 15, 2);
  if (year < 0 || month < 0 || day < 0) return std::nullopt;
  const chr::year_month_day date{chr::year{year}, chr::month{static_cast<unsigned>(month)},
                                 chr::day{static_cast<unsigned>(day)}};
  if (!date.ok()) return std::nullopt;
  return date;
}

// Something that is not a regular file is at `path`.
bool SomethingElseAt(const std::string& path) {
  struct stat status {};
  return ::lstat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode);
}

// Removes the journals in `folder` dated more than 90 days before `today`;
// every other file stays.
void RemoveOldJournals(const std::string& folder, chr::year_month_day today) {
  const chr::sys_days oldestKept = chr::sys_days{today} - chr::days{kKeptDays};
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
    const auto date = JournalDate(entry.path().filename().string());
    if (!date || chr::sys_days{*date} >= oldestKept) continue;
    if (entry.is_regular_file(error)) fs::remove(entry.path(), error);
  }
}

}  // namespace

chr::local_seconds LocalNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  const chr::year_month_day date{chr::year{local.tm_year + 1900},
                                 chr::month{static_cast<unsigned>(local.tm_mon + 1)},
                                 chr::day{static_cast<unsigned>(local.tm_mday)}};
  return chr::local_days{date} + chr::hours{local.tm_hour} + chr::minutes{local.tm_min} +
         chr::seconds{local.tm_sec};
}

DailyJournal::DailyJournal(std::string folder, LocalClock clock)
    : folder_(std::move(folder)), clock_(std::move(clock)) {}

DailyJournal::~DailyJournal() {
  Release();
  CloseFile();
}

void DailyJournal::Write(const std::string& line, const std::string& terminal) {
  ReleaseOf(terminal);
  Append({clock_(), line}, terminal);
}

void DailyJournal::Hold(const std::string& line, const std::string& terminal) {
  held_.insert_or_assign(terminal, Line{clock_(), line});
}

void DailyJournal::Release() {
  while (!held_.empty()) ReleaseOf(held_.begin()->first);
}

void DailyJournal::ReleaseOf(const std::string& terminal) {
  const auto held = held_.find(terminal);
  if (held == held_.end()) return;
  const Line line = std::move(held->second);
  const std::string of = held->first;  // `terminal` may be the very key erased
  held_.erase(held);
  Append(line, of);
}

std::optional<std::string> DailyJournal::TakeFailure() {
  if (failure_.empty()) return std::nullopt;
  return std::exchange(failure_, std::string());
}

void DailyJournal::Append(const Line& line, const std::string& terminal) {
  const chr::year_month_day day{chr::floor<chr::days>(line.time)};
  if (!OpenFor(day)) return;
  const std::string text = Stamped(line.time, terminal, line.text);
  const ssize_t written = ::write(file_, text.data(), text.size());
  if (written == static_cast<ssize_t>(text.size())) return;
  // A short write (a full disk) leaves no reason of its own in errno.
  Fail(folder_ + "/" + JournalName(day), std::strerror(written < 0 ? errno : ENOSPC));
  // The next line opens the file anew.
  CloseFile();
}

bool DailyJournal::OpenFor(chr::year_month_day day) {
  if (file_ >= 0 && day == day_) return true;
  CloseFile();
  const std::string path = folder_ + "/" + JournalName(day);
  if (::mkdir(folder_.c_str(), 0777) != 0 && errno != EEXIST) {
    Fail(path, std::strerror(errno));
    return false;
  }
  // Opening a FIFO for writing would wait for a reader, for ever; a FIFO
  // without one, a device or a link refuses the open or fails the check.
  file_ = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW,
                 0666);
  if (file_ < 0) {
    const int error = errno;
    Fail(path, SomethingElseAt(path) ? kNotRegular : std::strerror(error));
    return false;
  }
  struct stat status {};
  if (::fstat(file_, &status) != 0 || !S_ISREG(status.st_mode)) {
    CloseFile();
    Fail(path, kNotRegular);
    return false;
  }
  day_ = day;
  RemoveOldJournals(folder_, day);
  return true;
}

void DailyJournal::Fail(const std::string& path, const std::string& reason) {
  if (failed_) return;
  failed_ = true;
  failure_ = path + ": " + reason;
}

void DailyJournal::CloseFile() {
  if (file_ >= 0) ::close(file_);
  file_ = -1;
}
