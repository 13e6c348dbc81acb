// The window's edits of the settings file while another Orlent process (an
// orlent-cli run) holds its edit lock: the window's thread never waits for
// it. The edit stays in the window as made, the status bar says that it is
// not saved yet, and a timer saves it again until the lock is free.
#pragma once

#include <QTimer>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QStatusBar;

class BusySettingsRetry {
 public:
  // Tries again this often while the lock is held.
  static constexpr int kRetryMs = 500;

  // `handle` runs a handler at the program's event boundary.
  BusySettingsRetry(QStatusBar* bar, std::function<void(const std::function<void()>&)> handle);

  // Runs `edit`. When it finds the lock held, `save` (what saves the edit
  // once made) is run again and again until it goes through; the saves wait
  // their turn in the order of the edits. Returns whether it was held so.
  bool Edit(const std::function<void()>& edit, std::function<void()> save);
  // Edits not saved yet.
  bool Waiting() const { return !saves_.empty(); }
  // Gives up the saves still waiting: the close saves what the window holds.
  void Stop();

 private:
  void Retry();
  // Runs `fn` at the event boundary; the settings file's path when it found
  // the lock held, else nothing.
  std::optional<std::string> Run(const std::function<void()>& fn);

  QStatusBar* bar_;
  std::function<void(const std::function<void()>&)> handle_;
  std::vector<std::function<void()>> saves_;
  QTimer timer_;
};
