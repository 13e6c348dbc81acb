// The one way every request of the program reaches a terminal.
#pragma once

#include <cstdint>

class TForm1;

// Builds a request packet (Id -1, Channel 1, interpreter 100/5010, the address
// in Edit1, `code`, `direction`, `length`, `data`) and hands it to SendDataEx,
// but only when IsConnect answers exactly 1 for that address. `data` is a
// record of `length` bytes, zeroed and then filled by the caller. Returns true
// when the request went out (SendDataEx answered non-zero).
bool SendRequest(TForm1& form, uint8_t code, uint16_t direction, const void* data,
                 uint16_t length);
