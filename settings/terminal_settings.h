// The terminal list, the port and the send cycle's options as the settings
// file holds them, in its Terminal section: "TerminalPort", "TerminalNums"
// and, for entry n, "TerminalIP_n" and "TerminalChecked_n"; "TerminalParallel",
// "TerminalPause" and "TerminalAnswerTimeout"; "TerminalCodePage", the
// terminals' character set; and "SendFile", the download file last picked in
// the file-open dialog. A load reads the file once and a
// save replaces it once, each as one edit under the folder's edit lock.
#pragma once

#include <string>
#include <vector>

#include "text/code_page.h"

class SettingsFile;

// A key that holds a whole number: its name, its range, and the value taken
// when the key is absent or its value is not a number in the range.
struct NumberKey {
  const char* name;
  int min;
  int max;
  int absent;
};

// Terminals a send cycle serves at the same time.
inline constexpr NumberKey kParallelKey{"TerminalParallel", 1, 64, 1};
// Milliseconds each terminal waits before its connect: up to ten minutes.
inline constexpr NumberKey kPauseKey{"TerminalPause", 0, 600000, 3000};
// Milliseconds a terminal has to answer: up to an hour.
inline constexpr NumberKey kAnswerTimeoutKey{"TerminalAnswerTimeout", 1, 3600000, 10000};

// The terminals' character set.
inline constexpr const char* kCodePageKey = "TerminalCodePage";

// A value the settings file holds that cannot be taken for its key, and the
// value used in its place.
struct SetAsideSetting {
  std::string key;     // as the system names it: "TerminalParallel"
  std::string value;   // as the file holds it
  std::string reason;  // "is not a number from 1 to 64"
  std::string used;    // as the file would hold it: "1"
  std::string file;    // the settings file's path

  // "TerminalParallel 'four' in /opt/orlent/Orlent.ini is not a number from
  // 1 to 64"
  std::string Fault() const;
  // The fault, then ": 1 is used".
  std::string Message() const { return Fault() + ": " + used + " is used"; }
};

struct TerminalEntry {
  std::string address;
  bool ticked = false;
};

// How a send cycle serves the terminals.
struct CycleOptions {
  int parallel = kParallelKey.absent;
  int pauseMs = kPauseKey.absent;
  int answerTimeoutMs = kAnswerTimeoutKey.absent;
};

struct TerminalSettings {
  std::string port;
  std::vector<TerminalEntry> entries;
  CycleOptions cycle;
  CodePage codePage;     // absent: windows-1252
  std::string sendFile;  // full path; empty: none was picked
  // Loaded only: each value the file held that could not be taken, in the
  // order of the keys above.
  std::vector<SetAsideSetting> setAside;
};

// The port, the options and the entries in one walk over the Terminal
// section, so that a long list or a damaged count loads in a moment. The
// result is what reading each key by name would give, less the entries the
// file holds no key for. Throws std::runtime_error "Unable to read <path>"
// when the file exists but cannot be read: an empty list taken for it would
// be lost at the next save.
TerminalSettings LoadTerminalSettings(SettingsFile& file);

// Writes the port and the entries with an address, numbered from 1 without a
// gap; the keys of entries past the new count stay in the file, never read
// again. The bytes are those of writing each key in turn. An option or the
// send file is written only where the file does not already give its value
// (an absent key gives the default), so a file without them keeps its bytes;
// so is the character set. A value the file holds that cannot be taken is
// replaced by the one in force, or with SetAside::Kept left as it is, so that
// each later load finds it again.
// Throws as SettingsEdit::Commit and SettingsFile::WriteString do.
enum class SetAside { Replaced, Kept };
void SaveTerminalSettings(SettingsFile& file, const TerminalSettings& settings,
                          SetAside setAside = SetAside::Replaced);
