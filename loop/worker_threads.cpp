#include "loop/worker_threads.h"

#include <mutex>
#include <thread>

#include "loop/event_loop.h"

struct WorkerThreads::Target {
  explicit Target(EventLoop* loop) : loop(loop) {}
  std::mutex mutex;
  EventLoop* loop;
};

WorkerThreads::WorkerThreads(EventLoop& loop) : target_(std::make_shared<Target>(&loop)) {}

WorkerThreads::~WorkerThreads() {
  std::lock_guard lock(target_->mutex);
  target_->loop = nullptr;
}

void WorkerThreads::Run(std::function<void()> work, std::function<void()> done) {
  // A thread per call: connects are few, and each may block for its whole
  // time-out without holding up another.
  std::thread([target = target_, work = std::move(work), done = std::move(done)]() mutable {
    work();
    std::lock_guard lock(target->mutex);
    if (target->loop) target->loop->Post(std::move(done));
  }).detach();
}
