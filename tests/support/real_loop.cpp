#include "tests/support/real_loop.h"

// Wakes the loop while holding the lock: once the loop has run what was
// posted, the test may end and destroy the loop at once.
void RealLoop::Post(std::function<void()> fn) {
  std::lock_guard lock(mutex_);
  posted_.push_back(std::move(fn));
  wake_.notify_one();
}

void RealLoop::ArmTimer(TimerSlot slot, int ms, std::function<void()> fn) {
  std::lock_guard lock(mutex_);
  timers_[slot] = Shot{Clock::now() + std::chrono::milliseconds(ms), std::move(fn)};
  wake_.notify_one();
}

void RealLoop::StopTimer(TimerSlot slot) {
  std::lock_guard lock(mutex_);
  timers_.erase(slot);
}

std::function<void()> RealLoop::TakeReady(Clock::time_point& wakeAt) {
  if (!posted_.empty()) {
    auto fn = std::move(posted_.front());
    posted_.pop_front();
    return fn;
  }
  auto next = timers_.end();
  for (auto it = timers_.begin(); it != timers_.end(); ++it) {
    if (next == timers_.end() || it->second.due < next->second.due) next = it;
  }
  if (next == timers_.end()) return nullptr;
  if (next->second.due > Clock::now()) {
    wakeAt = std::min(wakeAt, next->second.due);
    return nullptr;
  }
  auto fn = std::move(next->second.fn);
  timers_.erase(next);
  return fn;
}

bool RealLoop::RunUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    if (done()) return true;
    if (Clock::now() >= deadline) return false;
    std::function<void()> fn;
    {
      std::unique_lock lock(mutex_);
      auto wakeAt = deadline;
      fn = TakeReady(wakeAt);
      if (!fn) {
        wake_.wait_until(lock, wakeAt);
        continue;
      }
    }
    fn();
  }
}
