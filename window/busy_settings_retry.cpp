#include "window/busy_settings_retry.h"

#include <QStatusBar>
#include <filesystem>
#include <utility>

#include "settings/settings_file.h"
#include "window/local_text.h"

BusySettingsRetry::BusySettingsRetry(QStatusBar* bar,
                                     std::function<void(const std::function<void()>&)> handle)
    : bar_(bar), handle_(std::move(handle)) {
  timer_.setInterval(kRetryMs);
  timer_.callOnTimeout([this] { Retry(); });
}

std::optional<std::string> BusySettingsRetry::Run(const std::function<void()>& fn) {
  std::optional<std::string> busy;
  handle_([&] {
    try {
      fn();
    } catch (const SettingsBusy& held) {
      busy = held.Path();
    }
  });
  return busy;
}

bool BusySettingsRetry::Edit(const std::function<void()>& edit, std::function<void()> save) {
  const std::optional<std::string> busy = Run(edit);
  if (!busy) return false;
  saves_.push_back(std::move(save));
  const std::string name = std::filesystem::path(*busy).filename().string();
  bar_->showMessage(ShownText(name + " is in use by another Orlent process: the change is saved "
                                     "as soon as it is free"));
  if (!timer_.isActive()) timer_.start();
  return true;
}

void BusySettingsRetry::Retry() {
  while (!saves_.empty()) {
    if (Run(saves_.front())) return;
    saves_.erase(saves_.begin());
  }
  Stop();
}

void BusySettingsRetry::Stop() {
  timer_.stop();
  saves_.clear();
  bar_->clearMessage();
}
