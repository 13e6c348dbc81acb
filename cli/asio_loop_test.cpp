// The command line's event loop: a shot runs once and only while it is the
// one armed, also when its wait had already completed as it was stopped or
// re-armed; spent and stopped slots are forgotten; posted functions run in
// order; RunUntil ends after the event that satisfies it; the watchdog.
#include "cli/asio_loop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kHour = 3600000;

using Ran = std::vector<std::string>;

bool Holds(const Ran& ran, const std::string& name) {
  return std::find(ran.begin(), ran.end(), name) != ran.end();
}

// Lets the deadlines of the shots armed so far pass, so that the loop's first
// look at its timers finds them all due and queues their handlers together,
// before any of them runs.
void LetDeadlinesPass() {
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

}  // namespace

TEST(AsioLoop, AShotWhoseWaitCompletedDoesNotRunOnceStoppedOrReArmed) {
  enum class Then { Stop, ReArmLater, ReArmNow, StopWatchdog, ReArmWatchdog };
  const struct {
    Then then;
    Ran ran;  // in any order: the old shot's place in the queue is not the new one's
    std::size_t armedAfter;
  } cases[] = {
      {Then::Stop, {"first", "posted"}, 0},
      {Then::ReArmLater, {"first", "posted"}, 1},
      {Then::ReArmNow, {"first", "posted", "re-armed"}, 0},
      {Then::StopWatchdog, {"first", "posted"}, 0},
      {Then::ReArmWatchdog, {"first", "posted", "re-armed"}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.then));
    AsioLoop loop;
    Ran ran;
    int owner = 0;
    const TimerSlot late{&owner, TimerKind::AnswerTimeout};
    auto reArmed = [&ran] { ran.push_back("re-armed"); };
    loop.ArmTimer({&ran, TimerKind::Pause}, 0, [&] {
      ran.push_back("first");
      if (c.then == Then::Stop) loop.StopTimer(late);
      if (c.then == Then::ReArmLater) loop.ArmTimer(late, kHour, reArmed);
      if (c.then == Then::ReArmNow) loop.ArmTimer(late, 0, reArmed);
      if (c.then == Then::StopWatchdog) loop.StopWatchdog();
      if (c.then == Then::ReArmWatchdog) loop.ArmWatchdog(0, reArmed);
      loop.Post([&ran] { ran.push_back("posted"); });
    });
    const bool watchdog = c.then == Then::StopWatchdog || c.then == Then::ReArmWatchdog;
    auto second = [&ran] { ran.push_back("second"); };
    watchdog ? loop.ArmWatchdog(1, second) : loop.ArmTimer(late, 1, second);
    LetDeadlinesPass();
    loop.RunUntil([&] {
      return Holds(ran, "second") || std::all_of(c.ran.begin(), c.ran.end(), [&](const auto& name) {
               return Holds(ran, name);
             });
    });
    EXPECT_FALSE(Holds(ran, "second"));
    EXPECT_EQ(ran.size(), c.ran.size());
    EXPECT_EQ(ran.front(), "first");
    EXPECT_EQ(loop.ArmedTimers(), c.armedAfter);
  }
}

TEST(AsioLoop, AReArmedSlotRunsOnlyItsLastShotAndSpentOrStoppedSlotsAreForgotten) {
  AsioLoop loop;
  constexpr int kSlots = 2000;
  std::vector<int> owners(kSlots);
  std::vector<int> runs(kSlots, 0);
  for (int i = 0; i < kSlots; ++i) {
    const TimerSlot slot{&owners[i], TimerKind::Pause};
    loop.ArmTimer(slot, 0, [&runs, i] { runs[i] += 100; });  // replaced below
    loop.ArmTimer(slot, i % 7, [&runs, i] { ++runs[i]; });
    if (i % 2 == 1) loop.StopTimer(slot);
  }
  EXPECT_EQ(loop.ArmedTimers(), static_cast<std::size_t>(kSlots / 2));
  int fired = 0;
  loop.RunUntil([&] {
    return (fired = static_cast<int>(std::count(runs.begin(), runs.end(), 1))) == kSlots / 2;
  });
  for (int i = 0; i < kSlots; ++i) EXPECT_EQ(runs[i], i % 2 == 0 ? 1 : 0) << i;
  EXPECT_EQ(loop.ArmedTimers(), 0u);
}

TEST(AsioLoop, PostedFunctionsRunInOrderAndRunUntilEndsAfterTheEventThatSatisfiesIt) {
  AsioLoop loop;
  std::vector<int> ran;
  bool asked = false;
  loop.RunUntil([&] { return asked = true; });  // already satisfied: nothing runs
  EXPECT_TRUE(asked);
  // From another thread, as the link library's callbacks post.
  std::thread poster([&loop, &ran] {
    for (int i = 0; i < 100; ++i) loop.Post([&ran, i] { ran.push_back(i); });
  });
  poster.join();
  for (int i = 100; i < 200; ++i) loop.Post([&ran, i] { ran.push_back(i); });
  loop.RunUntil([&] { return ran.size() == 50; });
  ASSERT_EQ(ran.size(), 50u);
  loop.RunUntil([&] { return ran.size() == 200; });
  std::vector<int> inOrder(200);
  for (int i = 0; i < 200; ++i) inOrder[i] = i;
  EXPECT_EQ(ran, inOrder);
}

TEST(AsioLoop, TheWatchdogRunsOnceAndARunWaitingOnNothingElseEndsByIt) {
  AsioLoop loop;
  int barks = 0;
  bool gaveUp = false;
  loop.ArmWatchdog(kHour, [&] { barks += 100; });  // replaced
  loop.ArmWatchdog(0, [&] {
    ++barks;
    gaveUp = true;
  });
  loop.RunUntil([&] { return gaveUp; });
  EXPECT_EQ(barks, 1);
  loop.ArmWatchdog(0, [&] { ++barks; });
  loop.StopWatchdog();
  loop.Post([&] { gaveUp = false; });
  loop.RunUntil([&] { return !gaveUp; });
  EXPECT_EQ(barks, 1);
}
