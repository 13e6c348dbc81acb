#include "settings/folder_claim.h"

#include <string>

#include "settings/folder_lock.h"
#include "settings/settings_file.h"
#include "settings/terminal_address.h"

void ClaimProgramFolder(SettingsFile& file, FolderRole role) {
  FolderLock& lock = file.Lock();
  const std::string& path = file.FileName();
  switch (role) {
    case FolderRole::Reader:
      return;
    case FolderRole::Window:
      if (!lock.ClaimWindow()) throw FolderInUse(path + " is open in another Orlent window");
      return;
    case FolderRole::Editor:
      // Held until the settings file object goes: the load before the edit,
      // the edit's save and the reload after it are one read-change-write.
      lock.LockEdits(true);
      // The window saves its whole list when it closes, so an edit made now
      // would be undone then.
      if (const auto window = lock.WindowHolder()) {
        const std::string process =
            *window > 0 ? " (process " + std::to_string(*window) + ")" : std::string();
        throw FolderInUse(path + " is open in an Orlent window" + process);
      }
      return;
  }
}

// One terminal is one lock, however its address is written.
bool ClaimTerminal(SettingsFile* file, const std::string& address) {
  return !file || file->Lock().LockTerminal(TerminalIdentity(address));
}

void ReleaseTerminal(SettingsFile* file, const std::string& address) {
  if (file) file->Lock().UnlockTerminal(TerminalIdentity(address));
}
