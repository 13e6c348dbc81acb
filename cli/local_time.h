// A run's start and end as the command line's summaries show them: for
// people on standard error, and ISO 8601 for scripts in the JSON documents.
#pragma once

#include <ctime>
#include <string>

// "2026-12-08 23:40:05", local time.
std::string LocalTimeText(std::time_t when);

// "2026-12-08T23:40:05+01:00": local time with its offset from UTC.
std::string IsoLocalTime(std::time_t when);
