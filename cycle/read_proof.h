// Whether a read of a terminal's records saw everything the terminal holds.
#pragma once

#include <string>

#include "session/transfer_state.h"

// Why a read that ended this way does not prove that it saw every record the
// terminal holds; empty when it does.
std::string UnprovenRead(ReadEnd end);
