#include "model/program_settings.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "settings/settings_file.h"
#include "settings/terminal_settings.h"

namespace {

// A control character in an address would break its line of the settings
// file or show as nothing in the list.
bool HoldsControlCharacter(const std::string& text) {
  return std::any_of(text.begin(), text.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
  });
}

constexpr const char* kControlCharacterMessage =
    "The IP address must not hold control characters !";

}  // namespace

ProgramSettings::ProgramSettings(ProgramView& view) : view_(view) {}

ProgramSettings::~ProgramSettings() = default;

void ProgramSettings::Open(std::unique_ptr<SettingsFile> file) {
  file_ = std::move(file);
}

void ProgramSettings::Release() {
  file_.reset();
}

SettingsFile& ProgramSettings::OpenFile() const {
  if (!file_) throw std::logic_error("The settings file is not open");
  return *file_;
}

void ProgramSettings::Load() {
  TerminalSettings stored = LoadTerminalSettings(OpenFile());
  list_.SetPort(std::move(stored.port));
  list_.SetEntries(std::move(stored.entries));
  cycle_ = stored.cycle;
  codePage_ = std::move(stored.codePage);
  sendFile_ = std::move(stored.sendFile);
  setAside_ = std::move(stored.setAside);
  view_.TerminalListChanged();
  if (keepSetAside_) return;
  // The next save writes the defaults taken, so each value set aside is told once.
  for (const auto& setAside : setAside_) view_.ShowError(setAside.Message());
}

void ProgramSettings::Save() {
  SaveTerminalSettings(OpenFile(), Stored(), keepSetAside_ ? SetAside::Kept : SetAside::Replaced);
}

void ProgramSettings::Store(const CycleOptions& options, const CodePage& codePage) {
  const CycleOptions before = cycle_;
  const CodePage codePageBefore = codePage_;
  cycle_ = options;
  codePage_ = codePage;
  try {
    Save();
  } catch (...) {
    cycle_ = before;
    codePage_ = codePageBefore;
    throw;
  }
}

void ProgramSettings::Remember(const std::string& path) {
  sendFile_ = path;
  Save();
}

TerminalSettings ProgramSettings::Stored() const {
  return TerminalSettings{list_.Port(), list_.Entries(), cycle_, codePage_, sendFile_, {}};
}

void ProgramSettings::SaveAndReload() {
  view_.TerminalListChanged();
  Save();
  Load();
}

bool ProgramSettings::Add(const std::string& address) {
  bool added = false;
  if (address.empty()) {
    view_.ShowError("Please define the new IP address !");
  } else if (HoldsControlCharacter(address)) {
    view_.ShowError(kControlCharacterMessage);
  } else {
    std::vector<TerminalEntry> entries = list_.Entries();
    entries.push_back({address, false});
    list_.SetEntries(std::move(entries));
    SaveAndReload();
    added = true;
  }
  view_.FocusSet(FocusTarget::NewAddress);
  return added;
}

bool ProgramSettings::Delete() {
  const int selected = list_.Selected();
  if (selected < 0) {
    view_.ShowError("IP address must be selected from the list above !");
  } else {
    // The save drops the emptied entry and numbers the rest without a gap.
    list_.Readdress(selected, "");
    SaveAndReload();
  }
  view_.FocusSet(FocusTarget::TerminalList);
  if (!list_.Entries().empty()) {
    list_.Select(0);
    view_.TerminalListChanged();
  }
  return selected >= 0;
}

bool ProgramSettings::Change(const std::string& address) {
  const int selected = list_.Selected();
  bool changed = false;
  if (address.empty()) {
    view_.ShowError("Please define the new IP address to change !");
  } else if (HoldsControlCharacter(address)) {
    view_.ShowError(kControlCharacterMessage);
  } else if (selected < 0) {
    view_.ShowError("IP address must be selected from the list above !");
  } else {
    list_.Readdress(selected, address);
    SaveAndReload();
    changed = true;
    if (selected < static_cast<int>(list_.Entries().size())) {
      list_.Select(selected);
      view_.TerminalListChanged();
    }
  }
  view_.FocusSet(FocusTarget::TerminalList);
  return changed;
}
