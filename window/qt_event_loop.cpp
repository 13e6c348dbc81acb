#include "window/qt_event_loop.h"

#include <exception>
#include <iostream>

QtEventLoop::QtEventLoop()
    : onFailure_([](const std::string& text) { std::cerr << text << '\n'; }) {}

void QtEventLoop::Post(std::function<void()> fn) {
  {
    std::lock_guard lock(postedMutex_);
    posted_.push_back(std::move(fn));
    if (runQueued_) return;
    runQueued_ = true;
  }
  QMetaObject::invokeMethod(
      &context_, [this] { RunPosted(); }, Qt::QueuedConnection);
}

void QtEventLoop::RunPosted() {
  std::unique_lock lock(postedMutex_);
  runQueued_ = false;
  while (!posted_.empty()) {
    const std::function<void()> fn = std::move(posted_.front());
    posted_.pop_front();
    lock.unlock();
    Run(fn);
    lock.lock();
  }
}

void QtEventLoop::ArmTimer(TimerSlot slot, int ms, std::function<void()> fn) {
  Shot& shot = ShotOf(slot);
  shot.fn = std::move(fn);
  // QTimer refuses a negative interval and would never fire.
  shot.timer->start(ms < 0 ? 0 : ms);
}

void QtEventLoop::StopTimer(TimerSlot slot) {
  // Sessions come and go, and each stops its slots as it goes: a stopped
  // slot is forgotten. Its timer goes once the handler now running has
  // ended, since that may be the timer's own, or with the loop.
  const auto it = shots_.find(slot);
  if (it == shots_.end()) return;
  it->second.timer->stop();
  it->second.timer->deleteLater();
  shots_.erase(it);
}

void QtEventLoop::RunOffLoop(std::function<void()> work, std::function<void()> done) {
  workers_.Run(std::move(work), std::move(done));
}

void QtEventLoop::SetFailureHandler(std::function<void(const std::string&)> handler) {
  onFailure_ = std::move(handler);
}

QtEventLoop::Shot& QtEventLoop::ShotOf(TimerSlot slot) {
  const auto it = shots_.find(slot);
  if (it != shots_.end()) return it->second;
  auto* timer = new QTimer(&context_);
  timer->setSingleShot(true);
  QObject::connect(timer, &QTimer::timeout, &context_, [this, slot] { Fire(slot); });
  return shots_.emplace(slot, Shot{timer, nullptr}).first->second;
}

void QtEventLoop::Fire(TimerSlot slot) {
  const auto it = shots_.find(slot);
  if (it == shots_.end()) return;
  // The shot is spent before it runs, so it may arm its own slot again.
  auto fn = std::move(it->second.fn);
  it->second.fn = nullptr;
  if (fn) Run(fn);
}

void QtEventLoop::Run(const std::function<void()>& fn) {
  try {
    fn();
  } catch (const std::exception& e) {
    onFailure_(e.what());
  }
}
