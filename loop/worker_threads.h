// Blocking work on threads of its own, each posting its result back to an
// event loop: what the Qt window's and the command line's loops use to run
// the link library's Connect off the loop thread.
#pragma once

#include <functional>
#include <memory>

class EventLoop;

class WorkerThreads {
 public:
  explicit WorkerThreads(EventLoop& loop);
  // A result that arrives after this is gone is dropped: the loop may be gone too.
  ~WorkerThreads();
  WorkerThreads(const WorkerThreads&) = delete;
  WorkerThreads& operator=(const WorkerThreads&) = delete;

  // Starts `work` on a new detached thread; `done` is posted to the loop once
  // it returns.
  void Run(std::function<void()> work, std::function<void()> done);

 private:
  struct Target;
  std::shared_ptr<Target> target_;
};
