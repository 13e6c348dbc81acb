// An event loop on virtual time for core tests: posted functions run when the
// test says so, and a 3000 ms pause costs no real time.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>

#include "loop/event_loop.h"

class ManualLoop : public EventLoop {
 public:
  void Post(std::function<void()> fn) override;
  void ArmTimer(TimerSlot slot, int ms, std::function<void()> fn) override;
  void StopTimer(TimerSlot slot) override;
  // Runs `work` at once, on the test's thread, and posts `done`: a connect
  // answers through the loop as it does on a real one.
  void RunOffLoop(std::function<void()> work, std::function<void()> done) override;

  // Runs posted functions, including those they post, until none is left.
  void RunPending();
  // Moves virtual time on by `ms`, firing due timers in time order and
  // running what they post.
  void Advance(int64_t ms);
  // Runs posted functions and fires timers until nothing is pending or armed,
  // or until `limitMs` of virtual time have passed.
  void RunUntilIdle(int64_t limitMs = 3600 * 1000);

  int64_t Now() const { return now_; }
  // Whether a timer of `kind` is armed, whichever session armed it.
  bool Armed(TimerKind kind) const { return DueAt(kind) >= 0; }
  // Virtual time at which the earliest timer of `kind` fires; -1 when none is armed.
  int64_t DueAt(TimerKind kind) const;

 private:
  bool FireNextDue(int64_t until);
  struct Shot {
    int64_t due;
    std::function<void()> fn;
  };
  std::mutex mutex_;  // Post may come from a library thread
  std::deque<std::function<void()>> posted_;
  std::map<TimerSlot, Shot> timers_;
  int64_t now_ = 0;
};
