// The options an order may give for itself, each in place of the one in
// force for that order alone: the command line's per-run options. Never saved.
#pragma once

#include <optional>
#include <string>

#include "settings/terminal_settings.h"
#include "text/code_page.h"

struct OrderOptions {
  std::optional<int> parallel;
  std::optional<int> pauseMs;
  std::optional<int> answerTimeoutMs;
  std::optional<CodePage> codePage;
};

// The cycle's options an order runs with: each one it gives, else the one in force.
CycleOptions Resolved(const OrderOptions& options, const CycleOptions& inForce);
// The character set an order runs with: the one it gives, else the one in force.
const CodePage& Resolved(const OrderOptions& options, const CodePage& inForce);

// "TerminalParallel must be a number from 1 to 64" for the first option given
// outside its key's range, or empty.
std::string OutOfRange(const OrderOptions& options);
