// Blocking work off the loop thread: the loop goes on while it runs, its
// result comes back on the loop thread, and the loop going away neither
// waits for the work nor takes its result.
#include "loop/worker_threads.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>
#include <thread>

#include "tests/support/manual_loop.h"
#include "tests/support/real_loop.h"

using namespace std::chrono_literals;

TEST(WorkerThreads, TheLoopGoesOnWhileTheWorkBlocksAndTheResultComesBackOnTheLoopThread) {
  RealLoop loop;
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  std::thread::id workThread;
  std::thread::id doneThread;
  bool done = false;
  loop.RunOffLoop(
      [&workThread, released] {
        workThread = std::this_thread::get_id();
        released.wait();  // a connect to a terminal that does not answer
      },
      [&] {
        doneThread = std::this_thread::get_id();
        done = true;
      });
  bool posted = false;
  loop.Post([&] { posted = true; });
  ASSERT_TRUE(loop.RunUntil([&] { return posted; }, 20s)) << "the loop is held by the work";
  EXPECT_FALSE(done);
  release.set_value();
  ASSERT_TRUE(loop.RunUntil([&] { return done; }, 20s));
  EXPECT_EQ(doneThread, std::this_thread::get_id());
  EXPECT_NE(workThread, std::this_thread::get_id());
}

TEST(WorkerThreads, GoingAwayDoesNotWaitForTheWorkStillRunningAndDropsItsResult) {
  ManualLoop loop;
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  auto finished = std::make_shared<std::promise<void>>();
  std::future<void> workFinished = finished->get_future();
  bool done = false;
  auto result = std::make_shared<int>(0);
  std::weak_ptr<int> resultHeld = result;
  auto workers = std::make_unique<WorkerThreads>(loop);
  workers->Run(
      [finished, released] {
        released.wait();  // a connect that has not given up yet
        finished->set_value();
      },
      [&done, result = std::move(result)] { done = true; });
  // Were the work waited for, this would never return: only the test ends it.
  auto gone = std::async(std::launch::async, [&workers] { workers.reset(); });
  ASSERT_EQ(gone.wait_for(20s), std::future_status::ready) << "going away waits for the work";
  release.set_value();
  workFinished.get();
  // The result is dropped with the thread, never posted.
  for (int i = 0; i < 2000 && !resultHeld.expired(); ++i) std::this_thread::sleep_for(10ms);
  ASSERT_TRUE(resultHeld.expired());
  loop.RunPending();
  EXPECT_FALSE(done);
}
