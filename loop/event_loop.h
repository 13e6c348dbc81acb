// The event loop of the program's thread, as the core sees it: posted
// functions, one-shot timers, and blocking work run off the loop thread. The
// Qt window, the command-line front end and the tests each supply one.
#pragma once

#include <compare>
#include <functional>

// The kinds of one-shot timer a terminal session arms.
enum class TimerKind { Pause, AnswerTimeout };

// One timer: each owner (a session) has one of each kind, and each holds at
// most one pending shot.
struct TimerSlot {
  const void* owner;
  TimerKind kind;
  auto operator<=>(const TimerSlot&) const = default;
};

class EventLoop {
 public:
  virtual ~EventLoop() = default;
  // Runs `fn` on the loop's thread after the handler now running has ended.
  // Callable from any thread; posted functions run in the order posted.
  virtual void Post(std::function<void()> fn) = 0;
  // Arms `slot` to run `fn` once after `ms` milliseconds, replacing a pending shot.
  virtual void ArmTimer(TimerSlot slot, int ms, std::function<void()> fn) = 0;
  // Cancels the pending shot of `slot`, if any.
  virtual void StopTimer(TimerSlot slot) = 0;
  // Runs `work`, which may block, on a thread of its own, then posts `done`
  // to the loop. Nothing slow ever runs on the loop's thread.
  virtual void RunOffLoop(std::function<void()> work, std::function<void()> done) = 0;
};
