// The running simulator: one terminal per listening address, each with its
// own memory, serving connections until SIGINT or SIGTERM, then saving the
// stores.
#pragma once

#include "termsim/sim_options.h"

// Runs until stopped by a signal; returns the exit code. Throws
// std::runtime_error when a store cannot be loaded or an address bound.
int RunSimulator(const SimOptions& options);
