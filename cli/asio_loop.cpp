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
  auto& timer = timers_.try_emplace(slot, io_).first->second;
  timer.expires_after(Delay(ms));
  timer.async_wait([this, fn = std::move(fn)](const std::error_code& error) {
    if (error) return;  // stopped or re-armed
    fn();
    AfterEvent();
  });
}

void AsioLoop::StopTimer(TimerSlot slot) {
  if (auto it = timers_.find(slot); it != timers_.end()) it->second.cancel();
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
  watchdog_.expires_after(Delay(ms));
  watchdog_.async_wait([this, fn = std::move(fn)](const std::error_code& error) {
    if (error) return;
    fn();
    AfterEvent();
  });
}

void AsioLoop::StopWatchdog() {
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
