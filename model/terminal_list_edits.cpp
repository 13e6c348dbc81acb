// The terminal list and its port, with the cycle's options and the
// remembered send file: loaded from and saved to the settings file, and the
// Add, Delete and Change edits. Every edit saves the whole list and reads it
// back, so a front end shows what the file holds.
#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "model/program.h"
#include "settings/settings_file.h"
#include "settings/terminal_settings.h"

namespace {

SettingsFile& OpenSettings(Program& program) {
  if (!program.Settings()) throw std::logic_error("The settings file is not open");
  return *program.Settings();
}

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

void Program::LoadTerminalSettings() {
  TerminalSettings stored = ::LoadTerminalSettings(OpenSettings(*this));
  terminals_.SetPort(std::move(stored.port));
  terminals_.SetEntries(std::move(stored.entries));
  stored_ = stored.cycle;
  storedCodePage_ = std::move(stored.codePage);
  rememberedSendFile_ = std::move(stored.sendFile);
  setAside_ = std::move(stored.setAside);
  view_.TerminalListChanged();
  if (startUp_.keepSetAsideSettings) return;
  // The next save writes the defaults taken, so each value set aside is told once.
  for (const auto& setAside : setAside_) view_.ShowError(setAside.Message());
}

void Program::SaveTerminalSettings() {
  ::SaveTerminalSettings(OpenSettings(*this), Stored(),
                         startUp_.keepSetAsideSettings ? SetAside::Kept : SetAside::Replaced);
}

TerminalSettings Program::Stored() const {
  return TerminalSettings{terminals_.Port(), terminals_.Entries(), stored_,
                          storedCodePage_,   rememberedSendFile_,  {}};
}

void Program::SaveAndReload() {
  view_.TerminalListChanged();
  SaveTerminalSettings();
  LoadTerminalSettings();
}

bool Program::AddTerminal(const std::string& address) {
  bool added = false;
  if (address.empty()) {
    view_.ShowError("Please define the new IP address !");
  } else if (HoldsControlCharacter(address)) {
    view_.ShowError(kControlCharacterMessage);
  } else {
    std::vector<TerminalEntry> entries = terminals_.Entries();
    entries.push_back({address, false});
    terminals_.SetEntries(std::move(entries));
    SaveAndReload();
    added = true;
  }
  view_.FocusSet(FocusTarget::NewAddress);
  return added;
}

bool Program::DeleteTerminal() {
  const int selected = terminals_.Selected();
  if (selected < 0) {
    view_.ShowError("IP address must be selected from the list above !");
  } else {
    // The save drops the emptied entry and numbers the rest without a gap.
    terminals_.Readdress(selected, "");
    SaveAndReload();
  }
  view_.FocusSet(FocusTarget::TerminalList);
  if (!terminals_.Entries().empty()) {
    terminals_.Select(0);
    view_.TerminalListChanged();
  }
  return selected >= 0;
}

bool Program::ChangeTerminal(const std::string& address) {
  const int selected = terminals_.Selected();
  bool changed = false;
  if (address.empty()) {
    view_.ShowError("Please define the new IP address to change !");
  } else if (HoldsControlCharacter(address)) {
    view_.ShowError(kControlCharacterMessage);
  } else if (selected < 0) {
    view_.ShowError("IP address must be selected from the list above !");
  } else {
    terminals_.Readdress(selected, address);
    SaveAndReload();
    changed = true;
    if (selected < static_cast<int>(terminals_.Entries().size())) {
      terminals_.Select(selected);
      view_.TerminalListChanged();
    }
  }
  view_.FocusSet(FocusTarget::TerminalList);
  return changed;
}
