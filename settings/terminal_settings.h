// The terminal list and the port as the settings file holds them, in its
// Terminal section: "TerminalPort", "TerminalNums" and, for entry n,
// "TerminalIP_n" and "TerminalChecked_n". A load reads the file once and a
// save replaces it once, each as one edit under the folder's edit lock.
#pragma once

#include <string>
#include <vector>

class SettingsFile;

struct TerminalEntry {
  std::string address;
  bool ticked = false;
};

struct TerminalSettings {
  std::string port;
  std::vector<TerminalEntry> entries;
};

// The port and the entries in one walk over the Terminal section, so that a
// long list or a damaged count loads in a moment. The result is what reading
// each key by name would give, less the entries the file holds no key for.
// Throws std::runtime_error "Unable to read <path>" when the file exists but
// cannot be read: an empty list taken for it would be lost at the next save.
TerminalSettings LoadTerminalSettings(SettingsFile& file);

// Writes the port and the entries with an address, numbered from 1 without a
// gap; the keys of entries past the new count stay in the file, never read
// again. The bytes are those of writing each key in turn. Throws as
// SettingsEdit::Commit and SettingsFile::WriteString do.
void SaveTerminalSettings(SettingsFile& file, const TerminalSettings& settings);
