// What the settings file holds for the program, and the edits of it: the
// terminal list with its port, the send cycle's options, the terminals'
// character set and the download file last picked. Loaded from and saved
// to the settings file; Add, Delete and Change save the whole list and read
// it back, so a front end shows what the file holds.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "model/program_view.h"
#include "model/terminal_list.h"
#include "settings/terminal_settings.h"

class SettingsFile;

class ProgramSettings {
 public:
  explicit ProgramSettings(ProgramView& view);
  ~ProgramSettings();

  // The settings file, from Open to Release; none outside.
  SettingsFile* File() const { return file_.get(); }
  void Open(std::unique_ptr<SettingsFile> file);
  void Release();
  // A value set aside is not shown by each load and stays in the file at
  // each save (see StartUp).
  void KeepSetAside(bool keep) { keepSetAside_ = keep; }

  TerminalList& List() { return list_; }
  const TerminalList& List() const { return list_; }
  const CycleOptions& CycleOptionsStored() const { return cycle_; }
  const CodePage& CodePageStored() const { return codePage_; }
  const std::string& RememberedSendFile() const { return sendFile_; }
  // The values of the file that the last load could not take.
  const std::vector<SetAsideSetting>& SetAside() const { return setAside_; }

  // Reads everything from the file; shows an error box naming each value
  // that cannot be taken, unless those are kept.
  void Load();
  void Save();
  // Saves `options` and `codePage`; on a failed save the ones before stay.
  void Store(const CycleOptions& options, const CodePage& codePage);
  // Remembers `path` as the last pick, saved.
  void Remember(const std::string& path);

  // True when the list took the edit, so the typed address is used up.
  bool Add(const std::string& address);
  // The selected entry goes.
  bool Delete();
  // The selected entry takes `address`.
  bool Change(const std::string& address);

 private:
  TerminalSettings Stored() const;
  // Shows the edited list, saves it and reads it back.
  void SaveAndReload();
  SettingsFile& OpenFile() const;

  ProgramView& view_;
  std::unique_ptr<SettingsFile> file_;
  bool keepSetAside_ = false;
  TerminalList list_;
  CycleOptions cycle_;
  CodePage codePage_;
  std::string sendFile_;
  std::vector<SetAsideSetting> setAside_;
};
