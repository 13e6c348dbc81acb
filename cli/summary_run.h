// What the command line's summaries record of every run: when it started and
// ended, the data kind, the download file with its records, and the values of
// the settings file that it set aside. Shown for people on standard error in
// local time, and in ISO 8601 for scripts in the JSON documents.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "settings/terminal_settings.h"

struct SummaryRun {
  std::time_t started = std::time(nullptr);  // the run's start is taken when it is made
  std::time_t ended = 0;
  std::string kind;
  std::string file;
  uint32_t records = 0;
  // Each with the value the run used in its place.
  std::vector<SetAsideSetting> setAside;

  // The run is over; its end is taken now.
  void Finish(std::string kind, std::string file, uint32_t records);
  // "2026-12-08 23:40:05", the start in local time.
  std::string StartedText() const;
  // "setting set aside: " and its message, a line for each value set aside.
  std::string SetAsideLines() const;
  // The JSON object's first fields, "started" to "records", and "set_aside"
  // when a value was set aside, each on a line of its own and followed by a
  // comma.
  std::string JsonFields() const;
};
