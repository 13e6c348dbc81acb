// The one way every request of the program reaches a terminal.
#pragma once

#include <cstdint>

class TerminalSession;

// What became of a request: not handed over (IsConnect did not answer 1),
// handed over and refused by SendDataEx, or sent.
enum class RequestOutcome { NotConnected, Refused, Sent };

// Builds a request packet (Id -1, Channel 1, interpreter 100/5010, the
// session's address, `code`, `direction`, `length`, `data`) and hands it to SendDataEx,
// but only when IsConnect answers exactly 1 for that address. `data` is a
// record of `length` bytes, zeroed and then filled by the caller.
RequestOutcome SendRequest(TerminalSession& session, uint8_t code, uint16_t direction,
                           const void* data, uint16_t length);
