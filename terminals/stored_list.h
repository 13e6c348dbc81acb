// The port and the terminal entries as the settings file holds them, read in
// one walk over the Terminal section, so that a long list or a damaged count
// loads in a moment. The result is what reading "TerminalPort",
// "TerminalNums" and each entry's "TerminalIP_" and "TerminalChecked_" keys
// one by one would give, less the entries the file holds no key for.
#pragma once

#include <string>
#include <vector>

class TIniFile;

struct StoredEntry {
  std::string address;
  bool ticked = false;
};

struct StoredList {
  std::string port;
  std::vector<StoredEntry> entries;
};

StoredList ReadStoredList(const TIniFile& ini);
