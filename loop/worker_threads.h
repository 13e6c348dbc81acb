// Blocking work on threads of its own, each posting its result back to an
// event loop: what the Qt window's and the command line's loops use to run
// the link library's Connect off the loop thread.
#pragma once

#include <functional>
#include <memory>
#include <thread>
#include <vector>

class EventLoop;

class WorkerThreads {
 public:
  explicit WorkerThreads(EventLoop& loop);
  // Waits for the work still running, and drops its results: the loop goes
  // with this. No thread outlives its loop, so none runs on into the
  // process's exit.
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
