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

void ManualLoop::RunOffLoop(std::function<void()> work, std::function<void()> done) {
  work();
  Post(std::move(done));
}

int64_t ManualLoop::DueAt(TimerKind kind) const {
  int64_t due = -1;
  for (const auto& [slot, shot] : timers_) {
    if (slot.kind == kind && (due < 0 || shot.due < due)) due = shot.due;
  }
  return due;
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
