// The event loop of the window's thread, as the core sees it. The Qt window,
// the command-line front end and the tests each supply one.
#pragma once

#include <functional>

// The core's one-shot timers. Each slot holds at most one pending shot.
enum class TimerSlot { Pause, AnswerTimeout };

class EventLoop {
 public:
  virtual ~EventLoop() = default;
  // Runs `fn` on the window's thread after the handler now running has ended.
  // Callable from any thread; posted functions run in the order posted.
  virtual void Post(std::function<void()> fn) = 0;
  // Arms `slot` to run `fn` once after `ms` milliseconds, replacing a pending shot.
  virtual void ArmTimer(TimerSlot slot, int ms, std::function<void()> fn) = 0;
  // Cancels the pending shot of `slot`, if any.
  virtual void StopTimer(TimerSlot slot) = 0;
};
