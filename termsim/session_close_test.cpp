// A connection the simulator ends (a bad frame, --close-after) still delivers
// every answer it owes, then ends in order: the library reads them all and an
// end of stream, never a reset, even when more input waits unread.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "records/records.h"
#include "termsim/raw_client.h"
#include "termsim/simulator_process.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct CloseCase {
  const char* name;
  std::vector<std::string> options;  // faults for the simulator
  int writes;                        // PLU writes 1..writes sent first
  Bytes after;                       // then these bytes
  int answered;                      // answers due: PLUs 1..answered
  int receiveBuffer;                 // the client's SO_RCVBUF, 0: the system's
};

Bytes Repeat(uint8_t value, size_t count) {
  return Bytes(count, value);
}

Bytes Join(Bytes first, const Bytes& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

// A report cannot be written: a well-formed frame the simulator must refuse.
Bytes ReportWrite() {
  Bytes frame = RequestFrame(kCodeReportTime, kDirectionRead, 1);
  frame[14] = kDirectionWrite;
  return frame;
}

std::vector<CloseCase> Cases() {
  const Bytes junk = Repeat(0xEE, 256 * 1024);
  return {
      {"bad magic, then more input", {}, 1, junk, 1, 0},
      {"unexpected request, then more input", {}, 3, Join(ReportWrite(), junk), 3, 0},
      {"close after two answers, more requests waiting", {"--close-after", "2"}, 6, junk, 2, 0},
      {"many answers still queued at the bad frame", {}, 600, junk, 600, 4096},
  };
}

TEST(SessionClose, EveryAnswerDueArrivesBeforeAnOrderlyEnd) {
  for (const CloseCase& c : Cases()) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> args{"--listen", "127.0.0.1:0"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    SimulatorProcess simulator(args);
    RawClient client(simulator.port(), c.receiveBuffer);

    Bytes input;
    for (int n = 1; n <= c.writes; ++n)
      input = Join(input, RequestFrame(kCodePlu, kDirectionWrite, n));
    input = Join(input, c.after);
    int sendError = 0;
    client.SendAll(input, sendError);  // the end of the input may meet a closed connection
    RawClient::Received received = client.ReadToEnd(std::chrono::seconds(20));

    size_t rest = 0;
    std::vector<int64_t> expected;
    for (int n = 1; n <= c.answered; ++n) expected.push_back(n);
    EXPECT_EQ(expected, AnsweredNumbers(received.bytes, rest));
    EXPECT_EQ(0u, rest) << "a frame cut short";
    EXPECT_TRUE(received.ended) << "no orderly end; error: " << std::strerror(received.error);
  }
}

}  // namespace
