// The terminals of the JSON summaries that `send`, `verify` and `upload
// --terminal all` wrote, on one shop's PC or on many: one row per terminal
// per run, with the shop, what ran, how it ended for the terminal, and
// whether that needs someone's attention. Summaries written before the runs
// named what ran, their shop and their terminals' names are read too: what
// ran is then told from the fields the summary has.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli/json_reader.h"

// In the order a report lists them: the terminals that need attention first.
enum class FleetState { Failed, Differs, NotProven, Fine };

// "failed", "differs", "not proven", "ok".
const char* FleetStateText(FleetState state);

struct FleetRow {
  FleetState state = FleetState::Fine;
  std::string shop;  // empty: the summary names none
  std::string name;  // the terminal's name; empty: it has none
  std::string address;
  std::string ran;      // "send", "changes send", "verification", "repair" or "receive"
  std::string outcome;  // as the summary gives it: "sent", "same", or the reason
  // Records stored (a send), received (a receive), or found the same as the
  // file (a verification).
  std::optional<uint32_t> records;
  // A verification's records that differ, are missing or are extra; none for
  // a send, a receive, or a terminal that could not be read.
  std::optional<uint64_t> differences;
  std::string when;     // the run's end as the summary gives it, else its start
  std::string summary;  // the file the row was read from
};

// The rows of one summary, read from `file`, in its terminals' order. Texts
// have their control characters shown as U+FFFD. Throws std::runtime_error
// naming the field when the document is not such a summary.
std::vector<FleetRow> FleetRowsOf(const JsonValue& summary, const std::string& file);
