// What the command line's summaries record of every run: when it started and
// ended, the data kind, and the download file with its records. Shown for
// people on standard error in local time, and in ISO 8601 for scripts in the
// JSON documents.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

struct SummaryRun {
  std::time_t started = std::time(nullptr);  // the run's start is taken when it is made
  std::time_t ended = 0;
  std::string kind;
  std::string file;
  uint32_t records = 0;

  // The run is over; its end is taken now.
  void Finish(std::string kind, std::string file, uint32_t records);
  // "2026-12-08 23:40:05", the start in local time.
  std::string StartedText() const;
  // The JSON object's first fields, "started" to "records", each on a line
  // of its own and followed by a comma.
  std::string JsonFields() const;
};
