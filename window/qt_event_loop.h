// The program's event loop on Qt: posted functions run on the GUI thread,
// each timer slot is a single-shot QTimer, and blocking work runs on worker
// threads that post their result back.
#pragma once

#include <QObject>
#include <QTimer>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>

#include "loop/event_loop.h"
#include "loop/worker_threads.h"

class QtEventLoop : public EventLoop {
 public:
  QtEventLoop();
  void Post(std::function<void()> fn) override;
  void ArmTimer(TimerSlot slot, int ms, std::function<void()> fn) override;
  void StopTimer(TimerSlot slot) override;
  void RunOffLoop(std::function<void()> work, std::function<void()> done) override;

  // Qt cannot carry an exception through its event loop, so a failure that
  // escapes a posted function or a timer ends up here instead of ending the
  // program. By default it is written to stderr.
  void SetFailureHandler(std::function<void(const std::string&)> handler);

 private:
  struct Shot {
    QTimer* timer;  // a child of context_
    std::function<void()> fn;
  };
  Shot& ShotOf(TimerSlot slot);
  void Fire(TimerSlot slot);
  void Run(const std::function<void()>& fn);
  void RunPosted();

  QObject context_;  // lives on the GUI thread; queued calls run in its thread
  // Posted functions wait here in order, and one queued call runs all that
  // are waiting: twenty terminals answering at once wake the GUI thread once
  // per batch, not once per answer. They are taken one at a time, so that a
  // modal box one of them opens runs the rest, still in order, in its loop.
  std::mutex postedMutex_;
  std::deque<std::function<void()>> posted_;
  bool runQueued_ = false;  // a call to RunPosted is queued and has not begun
  std::map<TimerSlot, Shot> shots_;
  std::function<void(const std::string&)> onFailure_;
  WorkerThreads workers_{*this};
};
