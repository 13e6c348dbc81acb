// Core-test helpers that play the terminal's side over the fake link library:
// answer the latest request as a terminal that stores every record would.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/fake_link.h"
#include "tests/support/manual_loop.h"

// Echoes the latest packet handed to SendDataEx back through the data callback
// (same code, direction and record, as a terminal acknowledges a write, and a
// delete too: its request is zero but for the number, as its answer is) and
// runs the handling it posts on the window's thread.
inline void EchoLastSent(FakeLink& link, ManualLoop& loop) {
  ASSERT_FALSE(link.sent.empty()) << "nothing was sent to answer";
  const SentPacket last = link.sent.back();
  link.Deliver(last.packet.Code, last.packet.Direction, last.data.data(),
               static_cast<uint16_t>(last.data.size()), last.address);
  loop.RunPending();
}

// Delivers `record` as an answer of `code` and `direction` and runs its handling.
template <class Record>
void Answer(FakeLink& link, ManualLoop& loop, uint8_t code, uint16_t direction,
            const Record& record) {
  link.Deliver(code, direction, record);
  loop.RunPending();
}

// Lines of a PLU download file with `count` records numbered from `first`.
inline std::string PluFileLines(int count, int first = 1) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    const int number = first + i;
    text += "1\t" + std::to_string(number) + "\t0\tItem " + std::to_string(number) + "\t" +
            std::to_string(100 + number) + "\t0\t1\t0\t0\r\n";
  }
  return text;
}
