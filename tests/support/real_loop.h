// An event loop on real time for end-to-end tests and benchmarks: the test's
// thread runs the program's work, while the link library posts answers to it
// from its own thread.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>

#include "loop/event_loop.h"
#include "loop/worker_threads.h"

class RealLoop : public EventLoop {
 public:
  void Post(std::function<void()> fn) override;
  void ArmTimer(TimerSlot slot, int ms, std::function<void()> fn) override;
  void StopTimer(TimerSlot slot) override;
  // On a thread of its own, as the program's loops do.
  void RunOffLoop(std::function<void()> work, std::function<void()> done) override {
    workers_.Run(std::move(work), std::move(done));
  }

  // Runs posted functions and due timers on the calling thread, one at a
  // time, until `done` answers true (asked before each one) or `timeout` has
  // passed. Returns what `done` answers last.
  bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);

 private:
  using Clock = std::chrono::steady_clock;
  struct Shot {
    Clock::time_point due;
    std::function<void()> fn;
  };
  // The next function that is ready to run, or nothing; sets `wakeAt` to when
  // the earliest timer falls due.
  std::function<void()> TakeReady(Clock::time_point& wakeAt);

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> posted_;
  std::map<TimerSlot, Shot> timers_;
  WorkerThreads workers_{*this};
};
