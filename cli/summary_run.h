// What the command line's summaries record of every run: what ran, in which
// shop, when it started and ended, the data kind, the download file with its
// records, the values of the settings file that it set aside, and the
// terminals' names. Shown for people on standard error in
// local time, and in ISO 8601 for scripts in the JSON documents.
#pragma once

#include <cstdint>
#include <ctime>
#include <map>
#include <string>
#include <vector>

#include "settings/terminal_settings.h"

// What a run's records call it and its terminals.
struct RunNames {
  std::string ran;   // "send", "changes send", "verification", "repair" or "receive"
  std::string shop;  // empty: no shop named
  std::map<std::string, std::string> terminals;  // the names given, by address

  // The name of the terminal at `address`; empty when it has none.
  std::string NameOf(const std::string& address) const;
};

struct SummaryRun {
  std::time_t started = std::time(nullptr);  // the run's start is taken when it is made
  std::time_t ended = 0;
  std::string kind;
  std::string file;
  uint32_t records = 0;
  // Each with the value the run used in its place.
  std::vector<SetAsideSetting> setAside;
  RunNames names;

  // The run is over; its end is taken now.
  void Finish(std::string kind, std::string file, uint32_t records);
  // "2026-12-08 23:40:05", the start in local time.
  std::string StartedText() const;
  // "setting set aside: " and its message, a line for each value set aside.
  std::string SetAsideLines() const;
  // The JSON object's first fields, "started" to "records", "ran" and
  // "shop", and "set_aside" when a value was set aside, each on a line of its
  // own and followed by a comma.
  std::string JsonFields() const;
  // The terminal's name as a JSON value: a string, or null.
  std::string NameJson(const std::string& address) const;
};
