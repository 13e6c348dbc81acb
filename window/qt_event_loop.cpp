#include "window/qt_event_loop.h"

#include <exception>
#include <iostream>

QtEventLoop::QtEventLoop()
    : onFailure_([](const std::string& text) { std::cerr << text << '\n'; }) {}

void QtEventLoop::Post(std::function<void()> fn) {
  QMetaObject::invokeMethod(
      &context_, [this, fn = std::move(fn)] { Run(fn); }, Qt::QueuedConnection);
}

void QtEventLoop::ArmTimer(TimerSlot slot, int ms, std::function<void()> fn) {
  Shot& shot = ShotOf(slot);
  shot.fn = std::move(fn);
  // QTimer refuses a negative interval and would never fire.
  shot.timer.start(ms < 0 ? 0 : ms);
}

void QtEventLoop::StopTimer(TimerSlot slot) {
  // Sessions come and go, and each stops its slots as it goes: a stopped
  // slot is forgotten. Its timer is deleted once the handler now running has
  // ended, since that may be the timer's own.
  const auto it = shots_.find(slot);
  if (it == shots_.end()) return;
  Shot* shot = it->second.release();
  shots_.erase(it);
  shot->timer.stop();
  shot->fn = nullptr;
  QMetaObject::invokeMethod(
      &context_, [shot] { delete shot; }, Qt::QueuedConnection);
}

void QtEventLoop::RunOffLoop(std::function<void()> work, std::function<void()> done) {
  workers_.Run(std::move(work), std::move(done));
}

void QtEventLoop::SetFailureHandler(std::function<void(const std::string&)> handler) {
  onFailure_ = std::move(handler);
}

QtEventLoop::Shot& QtEventLoop::ShotOf(TimerSlot slot) {
  auto& shot = shots_[slot];
  if (!shot) {
    shot = std::make_unique<Shot>();
    shot->timer.setSingleShot(true);
    Shot* raw = shot.get();
    QObject::connect(&raw->timer, &QTimer::timeout, &context_, [this, raw] {
      // The shot is spent before it runs, so it may arm its own slot again.
      auto fn = std::move(raw->fn);
      raw->fn = nullptr;
      if (fn) Run(fn);
    });
  }
  return *shot;
}

void QtEventLoop::Run(const std::function<void()>& fn) {
  try {
    fn();
  } catch (const std::exception& e) {
    onFailure_(e.what());
  }
}
