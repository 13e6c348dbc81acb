// The window's terminal list and port box, with the cycle's options and the
// remembered send file: loaded from and saved to the settings file, and the
// Add, Delete and Change buttons. Every edit saves the whole list and
// reloads it, so the window shows what the file holds.
#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "model/program.h"
#include "settings/settings_file.h"
#include "settings/terminal_settings.h"

namespace {

SettingsFile& OpenSettings(Program& program) {
  if (!program.Settings) throw std::logic_error("The settings file is not open");
  return *program.Settings;
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

// Delete and Change act on the selected entry; an index outside the list selects nothing.
int SelectedEntry(const TCheckListBox& list) {
  const int index = list.ItemIndex;
  return index >= 0 && index < static_cast<int>(list.Items.size()) ? index : -1;
}

}  // namespace

void Program::LoadTerminalSettings() {
  TerminalSettings stored = ::LoadTerminalSettings(OpenSettings(*this));
  TerminalList.Items.clear();
  TerminalList.ItemIndex = -1;
  PortBox.Text = std::move(stored.port);
  TerminalList.Items.reserve(stored.entries.size());
  for (auto& entry : stored.entries) {
    TerminalList.Items.push_back({std::move(entry.address), entry.ticked});
  }
  StoredOptions = stored.cycle;
  StoredCodePage = std::move(stored.codePage);
  RememberedSendFile = std::move(stored.sendFile);
  SetAsideSettings = std::move(stored.setAside);
  View.TerminalListChanged();
  if (KeepSetAsideSettings) return;
  // The next save writes the defaults taken, so each value set aside is told once.
  for (const auto& setAside : SetAsideSettings) View.ShowError(setAside.Message());
}

void Program::SaveTerminalSettings() {
  ::SaveTerminalSettings(OpenSettings(*this), Stored(),
                         KeepSetAsideSettings ? SetAside::Kept : SetAside::Replaced);
}

TerminalSettings Program::Stored() const {
  TerminalSettings shown{PortBox.Text, {}, StoredOptions, StoredCodePage, RememberedSendFile, {}};
  shown.entries.reserve(TerminalList.Items.size());
  for (const auto& item : TerminalList.Items) shown.entries.push_back({item.Text, item.Checked});
  return shown;
}

void Program::AddTerminal() {
  if (AddressBox.Text.empty()) {
    View.ShowError("Please define the new IP address !");
  } else if (HoldsControlCharacter(AddressBox.Text)) {
    View.ShowError(kControlCharacterMessage);
  } else {
    TerminalList.Items.push_back({AddressBox.Text, false});
    View.TerminalListChanged();
    SaveTerminalSettings();
    LoadTerminalSettings();
    AddressBox.Text.clear();
  }
  View.FocusSet(AddressBox);
}

void Program::DeleteTerminal() {
  const int selected = SelectedEntry(TerminalList);
  if (selected < 0) {
    View.ShowError("IP address must be selected from the list above !");
  } else {
    // The save drops the emptied entry and numbers the rest without a gap.
    TerminalList.Items[selected].Text.clear();
    View.TerminalListChanged();
    SaveTerminalSettings();
    LoadTerminalSettings();
    AddressBox.Text.clear();
  }
  View.FocusSet(TerminalList);
  if (!TerminalList.Items.empty()) {
    TerminalList.ItemIndex = 0;
    View.TerminalListChanged();
  }
}

void Program::ChangeTerminal() {
  const int selected = SelectedEntry(TerminalList);
  if (AddressBox.Text.empty()) {
    View.ShowError("Please define the new IP address to change !");
  } else if (HoldsControlCharacter(AddressBox.Text)) {
    View.ShowError(kControlCharacterMessage);
  } else if (selected < 0) {
    View.ShowError("IP address must be selected from the list above !");
  } else {
    TerminalList.Items[selected].Text = AddressBox.Text;
    View.TerminalListChanged();
    SaveTerminalSettings();
    LoadTerminalSettings();
    AddressBox.Text.clear();
    if (selected < static_cast<int>(TerminalList.Items.size())) {
      TerminalList.ItemIndex = selected;
      View.TerminalListChanged();
    }
  }
  View.FocusSet(TerminalList);
}
