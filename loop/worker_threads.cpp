#include "loop/worker_threads.h"

#include <algorithm>
#include <mutex>

#include "loop/event_loop.h"

struct WorkerThreads::Target {
  explicit Target(EventLoop* loop) : loop(loop) {}
  std::mutex mutex;
  EventLoop* loop;
};

WorkerThreads::WorkerThreads(EventLoop& loop) : target_(std::make_shared<Target>(&loop)) {}

WorkerThreads::~WorkerThreads() {
  {
    std::lock_guard lock(target_->mutex);
    target_->loop = nullptr;
  }
  JoinFinished();
  for (Worker& worker : workers_) worker.thread.detach();
}

void WorkerThreads::Run(std::function<void()> work, std::function<void()> done) {
  JoinFinished();
  // A thread per call: connects are few, and each may block for its whole
  // time-out without holding up another.
  auto finished = std::make_shared<bool>(false);
  std::thread thread(
      [target = target_, finished, work = std::move(work), done = std::move(done)]() mutable {
        work();
        std::lock_guard lock(target->mutex);
        if (target->loop) target->loop->Post(std::move(done));
        *finished = true;
      });
  workers_.push_back({std::move(thread), std::move(finished)});
}

void WorkerThreads::JoinFinished() {
  std::lock_guard lock(target_->mutex);
  const auto end = std::remove_if(workers_.begin(), workers_.end(), [](Worker& worker) {
    if (!*worker.finished) return false;
    worker.thread.join();  // past its last step: returns at once
    return true;
  });
  workers_.erase(end, workers_.end());
}
