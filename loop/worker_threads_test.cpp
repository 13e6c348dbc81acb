// Blocking work off the loop thread: the loop goes on while it runs, its
// result comes back on the loop thread, and no thread outlives its workers.
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

TEST(WorkerThreads, GoingAwayWaitsForTheWorkStillRunning) {
  ManualLoop loop;
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  bool finished = false;
  auto workers = std::make_unique<WorkerThreads>(loop);
  workers->Run(
      [&finished, released] {
        released.wait();
        finished = true;
      },
      [] {});
  auto gone = std::async(std::launch::async, [&workers] { workers.reset(); });
  EXPECT_EQ(gone.wait_for(100ms), std::future_status::timeout) << "gone while the work runs";
  release.set_value();
  gone.get();
  EXPECT_TRUE(finished);
}
