#include "settings/settings_edit.h"

#include <stdexcept>

#include "settings/folder_lock.h"
#include "settings/settings_file.h"

namespace {

// Locks before the text is read, so the text is the latest edit's.
FileContent LockAndRead(SettingsFile& ini, SettingsEdit::Purpose purpose) {
  const bool change = purpose == SettingsEdit::Purpose::Change;
  if (ini.WaitsForLock()) {
    ini.Lock().LockEdits(change);
  } else if (!ini.Lock().TryLockEdits(change)) {
    throw SettingsBusy(ini.FileName());
  }
  // Only a holder of the lock knows that no replacement is under way.
  if (change && ini.Lock().HoldsEdits()) RemoveLeftoverTemporary(ini.FileName());
  return ReadWholeFile(ini.FileName());
}

}  // namespace

SettingsEdit::SettingsEdit(SettingsFile& ini, Purpose purpose)
    : ini_(ini),
      before_(LockAndRead(ini, purpose)),
      text_(before_.status == ReadStatus::Ok ? before_.bytes : std::string()) {
  if (ini_.edit_) {
    ini_.Lock().UnlockEdits();
    throw std::logic_error("An edit of " + ini_.FileName() + " is already under way");
  }
  ini_.edit_ = &text_;
}

SettingsEdit::~SettingsEdit() {
  ini_.edit_ = nullptr;
  ini_.Lock().UnlockEdits();
}

void SettingsEdit::Commit() {
  const std::string failure = "Unable to write to " + ini_.FileName();
  // An existing file that cannot be read would lose its other lines if it
  // were replaced.
  if (!Readable()) throw std::runtime_error(failure);
  std::string bytes = text_.Bytes();
  if (before_.status == ReadStatus::Ok && bytes == before_.bytes) return;
  if (!ReplaceFileAtomically(ini_.FileName(), bytes)) throw std::runtime_error(failure);
  before_ = {ReadStatus::Ok, std::move(bytes)};
}
