// A run's figures in the Prometheus text format, as node_exporter's textfile
// collector reads them: when the run ended and how long it took, and per
// terminal whether it succeeded, the time of its last success, the records
// sent to it and those it holds, and whether it differs from the file. A
// terminal that did not succeed keeps the last success the file's former
// text gave it, so that "not verified for two days" can be told from it.
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "cli/summary_run.h"
#include "model/terminal_result.h"

// One terminal's part of a run, as its metrics give it.
struct TerminalFigures {
  std::string address;
  bool succeeded = false;
  std::optional<uint32_t> sent;  // records it acknowledged as stored in this run, sent to it
  std::optional<uint32_t> held;  // records it holds as the file has them, where the run knows
  std::optional<bool> differs;   // a verification's: a record differs, is missing or extra
};

struct RunFigures {
  RunNames names;
  std::string kind;
  std::time_t ended = 0;
  double seconds = 0;  // from the run's start to its end
  std::vector<TerminalFigures> terminals;
};

// The figures of one terminal's result in a send, a receive or a
// verification; `repair`, a repair's send to it, when there was one.
TerminalFigures FiguresOf(CycleKind kind, const TerminalResult& result,
                          const TerminalResult* repair = nullptr);

// The metrics file's text for `run`. `previous`, the file's former text,
// gives the last success of each terminal that did not succeed in this run,
// for the same run, kind and address; anything else in it is dropped.
std::string MetricsText(const RunFigures& run, const std::string& previous);
