// How a front end holds its program folder and its terminals against the
// other Orlent processes of the same folder: the window lock, the edit lock of
// a command-line edit, and the terminal lock of a connect. The locks live in
// the settings file's FolderLock and go with the settings file object.
#pragma once

#include <string>

#include "settings/folder_role.h"

class SettingsFile;

// Takes what `role` holds of the folder of `file`; throws FolderInUse when
// another process holds the folder in a way that excludes it.
void ClaimProgramFolder(SettingsFile& file, FolderRole role);

// The terminal lock of `address`, taken without waiting: false while another
// process serves that terminal. Without a settings file there is no folder to
// share, so every terminal is free.
bool ClaimTerminal(SettingsFile* file, const std::string& address);
void ReleaseTerminal(SettingsFile* file, const std::string& address);
