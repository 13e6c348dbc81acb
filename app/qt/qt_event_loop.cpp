#include "app/qt/qt_event_loop.h"

#include <exception>
#include <iostream>

QtEventLoop::QtEventLoop()
    : onFailure_([](const std::string& text) { std::cerr << text << '\n'; }) {
  for (Shot* shot : {&timer1_, &answerTimeout_}) {
    shot->timer.setSingleShot(true);
    QObject::connect(&shot->timer, &QTimer::timeout, &context_, [this, shot] {
      // The shot is spent before it runs, so it may arm its own slot again.
      auto fn = std::move(shot->fn);
      shot->fn = nullptr;
      if (fn) Run(fn);
    });
  }
}

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
  Shot& shot = ShotOf(slot);
  shot.timer.stop();
  shot.fn = nullptr;
}

void QtEventLoop::SetFailureHandler(std::function<void(const std::string&)> handler) {
  onFailure_ = std::move(handler);
}

QtEventLoop::Shot& QtEventLoop::ShotOf(TimerSlot slot) {
  return slot == TimerSlot::Pause ? timer1_ : answerTimeout_;
}

void QtEventLoop::Run(const std::function<void()>& fn) {
  try {
    fn();
  } catch (const std::exception& e) {
    onFailure_(e.what());
  }
}
