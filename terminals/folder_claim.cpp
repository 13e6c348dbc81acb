// How the main window holds its program folder and its terminals against the
// other Orlent processes of the same folder: the window lock, the edit lock
// of a command-line edit, and the terminal locks of the connect step.
#include <stdexcept>
#include <string>

#include "app/tform1.h"
#include "terminals/folder_lock.h"
#include "terminals/ini_file.h"

void TForm1::ClaimProgramFolder() {
  if (!IniFile) throw std::logic_error("The settings file is not open");
  FolderLock& lock = IniFile->Lock();
  const std::string& path = IniFile->FileName();
  switch (Role) {
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

bool TForm1::ClaimTerminal(const std::string& address) {
  return !IniFile || IniFile->Lock().LockTerminal(address);
}

void TForm1::ReleaseTerminal(const std::string& address) {
  if (IniFile) IniFile->Lock().UnlockTerminal(address);
}
