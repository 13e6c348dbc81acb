// At the open-files limit the simulator cannot accept more connections; it
// waits between tries instead of spinning a core, and serves again once
// files are free.
#include <sys/resource.h>

#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

#include "records/records.h"
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

  // While connections wait in the backlog the simulator may only take a
  // little processor time; spinning on accept would take most of a core.
  const double before = ProcessorSeconds(simulator.pid());
  std::this_thread::sleep_for(std::chrono::seconds(2));
  const double used = ProcessorSeconds(simulator.pid()) - before;
  EXPECT_LT(used, 0.5) << "processor seconds used in 2 s at the limit";

  clients.clear();
  ExpectServed(simulator, 3);
}

}  // namespace
