// A client that sends requests and never reads their answers cannot make the
// simulator hold answers without end: past its limit the connection is
// dropped and logged, and the simulator serves the next one.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "records/records.h"
#include "termsim/raw_client.h"
#include "termsim/simulator_process.h"

namespace {

// The figure that follows `label` in `line`, e.g. "queued " in "... queued 123 bytes".
uint64_t FigureAfter(const std::string& line, const std::string& label) {
  size_t at = line.find(label);
  if (at == std::string::npos) return 0;
  return std::stoull(line.substr(at + label.size()));
}

TEST(SessionFlood, AClientThatNeverReadsIsDroppedWithTheQueueBounded) {
  SimulatorProcess simulator({"--listen", "127.0.0.1:0"}, SimulatorProcess::StandardError::kKept);
  RawClient flood(simulator.port(), 4096);
  std::vector<uint8_t> burst;
  for (int i = 0; i < 64; ++i) {
    std::vector<uint8_t> read = RequestFrame(kCodePlu, kDirectionRead, 1);
    burst.insert(burst.end(), read.begin(), read.end());
  }
  // Far more answers than the limit and every buffer on the way can hold.
  const uint64_t enough = 96ull << 20;
  uint64_t sent = 0;
  int error = 0;
  while (sent < enough && flood.SendAll(burst, error)) sent += burst.size();
  EXPECT_LT(sent, enough) << "the simulator kept taking requests";
  EXPECT_TRUE(error == ECONNRESET || error == EPIPE) << "send ended with errno " << error;

  std::string line = simulator.WaitForErrorLine("answers not read", std::chrono::seconds(20));
  ASSERT_FALSE(line.empty()) << simulator.errorOutput();
  uint64_t queued = FigureAfter(line, "answers not read: ");
  uint64_t limit = FigureAfter(line, "limit ");
  EXPECT_GT(queued, limit);
  EXPECT_LE(queued, limit + 1738) << "more than one answer past the limit: " << line;

  RawClient next(simulator.port());
  int unused = 0;
  ASSERT_TRUE(next.SendAll(RequestFrame(kCodePlu, kDirectionWrite, 7), unused));
  next.EndSending();
  RawClient::Received received = next.ReadToEnd(std::chrono::seconds(10));
  size_t rest = 0;
  EXPECT_EQ(std::vector<int64_t>{7}, AnsweredNumbers(received.bytes, rest));
  EXPECT_TRUE(received.ended);
}

}  // namespace
