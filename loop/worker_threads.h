// Blocking work on threads of its own, each posting its result back to an
// event loop: what the Qt window's and the command line's loops use to run
// the link library's Connect off the loop thread. The work holds what it
// uses by value and reaches nothing but the link library, which lives as
// long as the process: so it may outlive the loop.
#pragma once

#include <functional>
#include <memory>
#include <thread>
#include <vector>

class EventLoop;

class WorkerThreads {
 public:
  explicit WorkerThreads(EventLoop& loop);
  // Drops the results of the work still running, and lets that work run on
  // to its end without waiting for it: closing the window does not wait for
  // a connect to give up. Its result then reaches no loop.
  ~WorkerThreads();
  WorkerThreads(const WorkerThreads&) = delete;
  WorkerThreads& operator=(const WorkerThreads&) = delete;

  // Starts `work` on a new thread; `done` is posted to the loop once it returns.
  void Run(std::function<void()> work, std::function<void()> done);

 private:
  struct Target;
  struct Worker {
    std::thread thread;
    std::shared_ptr<bool> finished;  // written under the target's lock
  };
  void JoinFinished();

  std::shared_ptr<Target> target_;
  std::vector<Worker> workers_;
};
