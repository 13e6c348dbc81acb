// SettingsEdit: one read-change-write of the settings file under the folder's
// edit lock. It reads the file once; while it lives, the TIniFile's reads and
// writes work on that text; Commit writes the text back in one atomic
// replacement, and only when its bytes changed. An edit that is not committed
// changes nothing, so a failure half-way through a save leaves the file as it
// was. The bytes are exactly those the same writes made one by one would give.
#pragma once

#include "terminals/atomic_file.h"
#include "terminals/ini_text.h"

class TIniFile;

class SettingsEdit {
 public:
  // Load: a read (no lock file is made for it). Change: a read that may write.
  enum class Purpose { Load, Change };

  SettingsEdit(TIniFile& ini, Purpose purpose);
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
  TIniFile& ini_;
  FileContent before_;
  IniText text_;
};
