#include "cli/asio_loop.h"

#include <algorithm>
#include <asio/post.hpp>
#include <chrono>
#include <climits>
#include <csignal>

namespace {

// A delay as a timer takes it: never negative, and never so long that the
// deadline, counted in the clock's nanoseconds, could overflow.
std::chrono::milliseconds Delay(int64_t ms) {
  return std::chrono::milliseconds(std::clamp<int64_t>(ms, 0, INT_MAX));
}

}  // namespace

AsioLoop::AsioLoop() : work_(io_.get_executor()), watchdog_(io_), stopSignals_(io_) {}

void AsioLoop::Post(std::function<void()> fn) {
  asio::post(io_, [this, fn = std::move(fn)] {
    fn();
    AfterEvent();
  });
}

void AsioLoop::ArmTimer(TimerSlot slot, int ms, std::function<void()> fn) {
  Timer& timer = timers_[slot];
  if (!timer.timer) timer.timer = std::make_unique<asio::steady_timer>(io_);
  timer.shot = ++shots_;
  timer.timer->expires_after(Delay(ms));
  timer.timer->async_wait(
      [this, slot, shot = timer.shot, fn = std::move(fn)](const std::error_code& error) {
        const auto it = timers_.find(slot);
        if (error || it == timers_.end() || it->second.shot != shot) return;  // stopped or re-armed
        // Spent before it runs, so that it may arm its own slot again.
        timers_.erase(it);
        fn();
        AfterEvent();
      });
}

void AsioLoop::StopTimer(TimerSlot slot) {
  // The timer's pending wait ends with an error once the timer is gone.
  timers_.erase(slot);
}

void AsioLoop::RunOffLoop(std::function<void()> work, std::function<void()> done) {
  workers_.Run(std::move(work), std::move(done));
}

void AsioLoop::OnStopSignals(std::function<void(int)> fn) {
  onStopSignal_ = std::move(fn);
  stopSignals_.add(SIGINT);
  stopSignals_.add(SIGTERM);
  WaitForStopSignal();
}

void AsioLoop::WaitForStopSignal() {
  stopSignals_.async_wait([this](const std::error_code& error, int signal) {
    if (error) return;
    onStopSignal_(signal);
    AfterEvent();
    WaitForStopSignal();
  });
}

void AsioLoop::ArmWatchdog(int64_t ms, std::function<void()> fn) {
  watchdogShot_ = ++shots_;
  watchdog_.expires_after(Delay(ms));
  watchdog_.async_wait(
      [this, shot = watchdogShot_, fn = std::move(fn)](const std::error_code& error) {
        if (error || shot != watchdogShot_) return;  // stopped or re-armed
        watchdogShot_ = 0;
        fn();
        AfterEvent();
      });
}

void AsioLoop::StopWatchdog() {
  watchdogShot_ = 0;
  watchdog_.cancel();
}

void AsioLoop::RunUntil(const std::function<bool()>& done) {
  done_ = done;
  if (done_ && done_()) return;
  io_.restart();
  io_.run();
}

void AsioLoop::AfterEvent() {
  if (done_ && done_()) io_.stop();
}
