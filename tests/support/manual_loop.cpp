#include "tests/support/manual_loop.h"

void ManualLoop::Post(std::function<void()> fn) {
  std::lock_guard lock(mutex_);
  posted_.push_back(std::move(fn));
}

void ManualLoop::ArmTimer(TimerSlot slot, int ms, std::function<void()> fn) {
  // As a real loop: a negative time fires at once.
  timers_[slot] = Shot{now_ + (ms < 0 ? 0 : ms), std::move(fn)};
}

void ManualLoop::StopTimer(TimerSlot slot) {
  timers_.erase(slot);
}

void ManualLoop::RunPending() {
  for (;;) {
    std::function<void()> fn;
    {
      std::lock_guard lock(mutex_);
      if (posted_.empty()) return;
      fn = std::move(posted_.front());
      posted_.pop_front();
    }
    fn();
  }
}

int64_t ManualLoop::DueAt(TimerSlot slot) const {
  auto it = timers_.find(slot);
  return it == timers_.end() ? -1 : it->second.due;
}

bool ManualLoop::FireNextDue(int64_t until) {
  auto next = timers_.end();
  for (auto it = timers_.begin(); it != timers_.end(); ++it) {
    if (it->second.due <= until && (next == timers_.end() || it->second.due < next->second.due)) {
      next = it;
    }
  }
  if (next == timers_.end()) return false;
  now_ = next->second.due;
  auto fn = std::move(next->second.fn);
  timers_.erase(next);
  fn();
  RunPending();
  return true;
}

void ManualLoop::Advance(int64_t ms) {
  const int64_t until = now_ + ms;
  RunPending();
  while (FireNextDue(until)) {
  }
  now_ = until;
}

void ManualLoop::RunUntilIdle(int64_t limitMs) {
  const int64_t until = now_ + limitMs;
  RunPending();
  while (FireNextDue(until)) {
  }
}
