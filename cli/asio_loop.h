// The event loop of the command-line front end: one Asio
// io_context run on the main thread, which is the program's loop thread.
#pragma once

#include <asio/io_context.hpp>
#include <asio/signal_set.hpp>
#include <asio/steady_timer.hpp>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>

#include "loop/event_loop.h"
#include "loop/worker_threads.h"

class AsioLoop : public EventLoop {
 public:
  AsioLoop();
  void Post(std::function<void()> fn) override;
  void ArmTimer(TimerSlot slot, int ms, std::function<void()> fn) override;
  void StopTimer(TimerSlot slot) override;
  void RunOffLoop(std::function<void()> work, std::function<void()> done) override;

  // Runs events until `done` answers true after one of them. Keep a watchdog
  // armed while waiting for a terminal, so that a silent one cannot hold the run.
  void RunUntil(const std::function<bool()>& done);
  // Runs `fn` once after `ms` of real time unless re-armed or cancelled first.
  // A time beyond the longest a timer takes (about 24 days) waits that long.
  void ArmWatchdog(int64_t ms, std::function<void()> fn);
  void StopWatchdog();
  // Runs `fn` with the signal's number, on the loop, for each SIGINT or
  // SIGTERM from now on, instead of ending the process.
  void OnStopSignals(std::function<void(int signal)> fn);

  // The timer slots holding a pending shot: a slot that fired or was
  // stopped is forgotten, so a long cycle leaves none behind.
  std::size_t ArmedTimers() const { return timers_.size(); }

 private:
  // A slot's timer and the number of its pending shot. A wait that completed
  // before a stop or a re-arm still reaches its handler as a success; the
  // number tells that handler that its shot is no longer the one wanted.
  struct Timer {
    std::unique_ptr<asio::steady_timer> timer;
    uint64_t shot = 0;
  };
  void AfterEvent();
  void WaitForStopSignal();
  asio::io_context io_;
  asio::executor_work_guard<asio::io_context::executor_type> work_;
  uint64_t shots_ = 0;  // the number of the last shot armed, timers and watchdog alike
  std::map<TimerSlot, Timer> timers_;
  asio::steady_timer watchdog_;
  uint64_t watchdogShot_ = 0;  // 0: none pending
  asio::signal_set stopSignals_;
  std::function<void(int)> onStopSignal_;
  std::function<bool()> done_;
  WorkerThreads workers_{*this};
};
