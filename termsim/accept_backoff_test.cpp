// At the open-files limit the simulator cannot accept more connections; it
// waits between tries instead of spinning a core, and serves again once
// files are free.
#include <sys/resource.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

#include "records/records.h"
#include "termsim/accept_loop.h"
#include "termsim/process_usage.h"
#include "termsim/raw_client.h"
#include "termsim/simulator_process.h"

namespace {

// Lowers the simulator's open-files limit to what it holds now plus `room`.
void LimitOpenFiles(SimulatorProcess& simulator, int room) {
  rlimit limit{};
  ASSERT_EQ(0, prlimit(simulator.pid(), RLIMIT_NOFILE, nullptr, &limit));
  limit.rlim_cur = static_cast<rlim_t>(OpenFiles(simulator.pid()) + room);
  ASSERT_EQ(0, prlimit(simulator.pid(), RLIMIT_NOFILE, &limit, nullptr));
}

// One connection served in full: a PLU write, its answer, an orderly end.
void ExpectServed(SimulatorProcess& simulator, int64_t number) {
  RawClient client(simulator.port());
  int unused = 0;
  ASSERT_TRUE(client.SendAll(RequestFrame(kCodePlu, kDirectionWrite, number), unused));
  client.EndSending();
  RawClient::Received received = client.ReadToEnd(std::chrono::seconds(10));
  size_t rest = 0;
  EXPECT_EQ(std::vector<int64_t>{number}, AnsweredNumbers(received.bytes, rest))
      << simulator.errorOutput();
  EXPECT_TRUE(received.ended);
}

TEST(AcceptBackoff, AtTheOpenFilesLimitItWaitsAndServesAgainLater) {
  SimulatorProcess simulator({"--listen", "127.0.0.1:0"}, SimulatorProcess::StandardError::kKept);
  // Served once before the limit too: under UndefinedBehaviorSanitizer the
  // first type check of each object needs a pipe, which the limit would deny.
  ExpectServed(simulator, 1);
  LimitOpenFiles(simulator, 2);
  // Every refused try of the simulator's comes after this.
  const auto start = std::chrono::steady_clock::now();
  std::vector<std::unique_ptr<RawClient>> clients;
  int greeted = 0;
  for (int i = 0; i < 6; ++i) {
    clients.push_back(std::make_unique<RawClient>(simulator.port()));
    if (clients.back()->ReadGreeting(std::chrono::milliseconds(300))) ++greeted;
  }
  // Holes among the simulator's descriptors may leave a little more room.
  ASSERT_GT(greeted, 0);
  ASSERT_LT(greeted, 6) << "the limit did not hold back the connections past it";
  EXPECT_FALSE(simulator.WaitForErrorLine("cannot accept", std::chrono::seconds(5)).empty())
      << simulator.errorOutput();

  // While connections wait in the backlog the simulator tries again once
  // every kAcceptRetryTime: from the first refusal to its line that it
  // accepts again it cannot have tried more often than that (a spin on
  // accept would try thousands of times).
  std::this_thread::sleep_for(3 * kAcceptRetryTime);
  clients.clear();
  const std::string again =
      simulator.WaitForErrorLine("accepting connections again", std::chrono::seconds(10));
  const auto most = (std::chrono::steady_clock::now() - start) / kAcceptRetryTime + 1;
  int tries = 0;
  ASSERT_EQ(
      1, std::sscanf(again.c_str(), "%*[^:]: accepting connections again after %d tries", &tries))
      << again;
  EXPECT_GE(tries, 1);
  EXPECT_LE(tries, most) << "tries at the limit";
  ExpectServed(simulator, 3);
}

}  // namespace
