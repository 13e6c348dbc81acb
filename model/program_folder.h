// Which folder Orlent works in. A program folder this user may write (a
// portable copy, the demo) is used as it is. An installed one that only root
// may write gives way to one per-user folder following the XDG base-directory
// convention, ${XDG_DATA_HOME:-$HOME/.local/share}/orlent: made on first use
// and seeded with the sample files of the installation, so a normal user keeps
// a terminal list, download files and upload files of their own.
#pragma once

#include <string>
#include <vector>

// Whether this user may keep the settings in `folder`: the folder takes new
// files. A read-only Orlent.ini in such a folder is the administrator's
// choice and is refused when written, not worked around.
bool ProgramFolderIsWritable(const std::string& folder);

// The per-user folder: "orlent" in $XDG_DATA_HOME, or in $HOME/.local/share
// when XDG_DATA_HOME is unset, empty or not absolute (the convention ignores a
// relative one). Without an absolute $HOME, the account's home folder is used;
// "" when there is none either.
std::string PerUserFolder();

// The folders holding the sample files that seed a per-user folder for
// `programFolder`, the one whose files win first. An Orlent installed in
// PREFIX/lib/orlent takes an administrator's files (an Orlent.ini as the
// starting terminal list, a shop's own download files) from the system's
// settings folder, /etc/orlent for the prefix /usr and PREFIX/etc/orlent for
// any other, then the samples the installation brings in PREFIX/share/orlent.
// Any other program folder (a portable copy) holds its own samples.
std::vector<std::string> SampleFolders(const std::string& programFolder);

// Makes `folder`, each missing folder on its path with mode 0700, and copies
// in the sample files (Orlent.ini and the *.txt files) of the sample folders
// of `programFolder` that the user does not have yet; a file the user has is
// never replaced. A sample that cannot be copied is left out: the program
// reports the missing file where it needs it.
void PreparePerUserFolder(const std::string& folder, const std::string& programFolder);

// The folder to work in for `programFolder`: itself when writable, else the
// prepared per-user folder (or itself when there is no per-user folder).
std::string WorkingFolder(const std::string& programFolder);

// The window's start: the path of `executable` as if installed in its working
// folder. When that is the per-user folder, it also becomes the current
// directory, so the upload files the window writes land beside the settings.
std::string WindowExecutable(const std::string& executable);
