// Blocking work off the loop thread: the loop goes on while it runs, its
// result comes back on the loop thread, and a result that comes back after
// its WorkerThreads are gone is dropped.
#include "loop/worker_threads.h"

#include <gtest/gtest.h>

#include <memory>
#include <chrono>
#include <future>
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

TEST(WorkerThreads, AResultAfterTheWorkersAreGoneIsDropped) {
  ManualLoop loop;
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  // The result goes with the thread once it is dropped, or into the loop's queue.
  auto result = std::make_shared<int>(0);
  const std::weak_ptr<int> resultHeld = result;
  bool done = false;
  {
    WorkerThreads workers(loop);
    workers.Run([released] { released.wait(); }, [&done, result] { done = true; });
  }
  result.reset();
  release.set_value();
  const auto deadline = std::chrono::steady_clock::now() + 20s;
  while (!resultHeld.expired() && std::chrono::steady_clock::now() < deadline) {
    loop.RunPending();
    std::this_thread::sleep_for(1ms);
  }
  EXPECT_TRUE(resultHeld.expired());
  loop.RunPending();
  EXPECT_FALSE(done);
}
