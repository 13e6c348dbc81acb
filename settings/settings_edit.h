// SettingsEdit: one read-change-write of the settings file under the folder's
// edit lock. It reads the file once; while it lives, the SettingsFile's reads and
// writes work on that text; Commit writes the text back in one atomic
// replacement, and only when its bytes changed. An edit that is not committed
// changes nothing, so a failure half-way through a save leaves the file as it
// was. The bytes are exactly those the same writes made one by one would give.
#pragma once

#include "settings/atomic_file.h"
#include "settings/ini_text.h"

class SettingsFile;

class SettingsEdit {
 public:
  // Load: a read (no lock file is made for it). Change: a read that may write.
  enum class Purpose { Load, Change };

  // Throws SettingsBusy when the file does not wait for its lock and
  // another process holds it.
  SettingsEdit(SettingsFile& ini, Purpose purpose);
  ~SettingsEdit();
  SettingsEdit(const SettingsEdit&) = delete;
  SettingsEdit& operator=(const SettingsEdit&) = delete;

  // False when the file exists but cannot be read; its reads then give their
  // defaults and a commit fails.
  bool Readable() const { return before_.status != ReadStatus::Failed; }
  // Throws std::runtime_error "Unable to write to <path>" when the file cannot
  // be read or replaced.
  void Commit();

 private:
  SettingsFile& ini_;
  FileContent before_;
  IniText text_;
};
