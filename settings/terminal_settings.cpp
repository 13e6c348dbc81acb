#include "settings/terminal_settings.h"

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <string_view>

#include "settings/settings_edit.h"
#include "settings/settings_file.h"
#include "text/str_to_int.h"

namespace {

constexpr const char* kSection = "Terminal";
constexpr std::string_view kPortKey = "TerminalPort";
constexpr std::string_view kCountKey = "TerminalNums";
constexpr std::string_view kAddressKey = "TerminalIP_";
constexpr std::string_view kTickKey = "TerminalChecked_";
constexpr const char* kDefaultPort = "20404";

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  return std::equal(prefix.begin(), prefix.end(), text.begin(),
                    [](char a, char b) { return Lower(a) == Lower(b); });
}

// The entry number of a key `prefix` + n, as a read of that key would find
// it: the prefix in any case, then decimal digits without a leading zero; 0
// for any other key.
int EntryNumberOf(std::string_view key, std::string_view prefix) {
  if (!StartsWithNoCase(key, prefix)) return 0;
  const auto digits = key.substr(prefix.size());
  const bool decimal =
      !digits.empty() && digits.front() != '0' &&
      std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
  const auto n = decimal ? TryStrToInt(digits) : std::nullopt;
  return n ? *n : 0;
}

// One address or tick key of an entry.
struct EntryKey {
  int number;
  bool tick;
  std::string value;
};

// A boolean is read as an integer: any value but 0 is true; no integer is false.
bool Ticked(const std::string& value) {
  return TryStrToInt(value).value_or(0) != 0;
}

// The entries numbered 1 to `count` that have a key, in number order; the
// first key of each name counts, as for a read by name.
std::vector<TerminalEntry> EntriesUpTo(std::vector<EntryKey> keys, int count) {
  std::erase_if(keys, [count](const EntryKey& key) { return key.number > count; });
  std::stable_sort(keys.begin(), keys.end(),
                   [](const EntryKey& a, const EntryKey& b) { return a.number < b.number; });
  std::vector<TerminalEntry> entries;
  for (std::size_t i = 0; i < keys.size();) {
    bool addressSeen = false, tickSeen = false;
    TerminalEntry entry;
    const int number = keys[i].number;
    for (; i < keys.size() && keys[i].number == number; ++i) {
      bool& seen = keys[i].tick ? tickSeen : addressSeen;
      if (seen) continue;
      seen = true;
      if (keys[i].tick) {
        entry.ticked = Ticked(keys[i].value);
      } else {
        entry.address = std::move(keys[i].value);
      }
    }
    entries.push_back(std::move(entry));
  }
  return entries;
}

// The port and the entries in one walk over the Terminal section.
TerminalSettings ReadTerminalSection(const SettingsFile& file) {
  std::optional<std::string> port, count;
  std::vector<EntryKey> keys;
  file.ReadSectionValues(kSection, [&](std::string_view name, std::string_view value) {
    if (name.size() == kPortKey.size() && StartsWithNoCase(name, kPortKey)) {
      if (!port) port = value;
    } else if (name.size() == kCountKey.size() && StartsWithNoCase(name, kCountKey)) {
      if (!count) count = value;
    } else if (const int n = EntryNumberOf(name, kAddressKey)) {
      keys.push_back({n, false, std::string(value)});
    } else if (const int t = EntryNumberOf(name, kTickKey)) {
      keys.push_back({t, true, std::string(value)});
    }
  });
  const int total = count ? TryStrToInt(*count).value_or(0) : 0;
  return {port.value_or(kDefaultPort), EntriesUpTo(std::move(keys), total)};
}

std::string KeyOf(std::string_view prefix, int n) {
  return std::string(prefix) + std::to_string(n);
}

}  // namespace

TerminalSettings LoadTerminalSettings(SettingsFile& file) {
  const SettingsEdit edit(file, SettingsEdit::Purpose::Load);
  if (!edit.Readable()) throw std::runtime_error("Unable to read " + file.FileName());
  return ReadTerminalSection(file);
}

void SaveTerminalSettings(SettingsFile& file, const TerminalSettings& settings) {
  const std::string countKey(kCountKey);
  SettingsEdit edit(file, SettingsEdit::Purpose::Change);
  file.WriteString(kSection, std::string(kPortKey), settings.port);
  // Puts the count right after the port in a new file.
  if (file.ReadInteger(kSection, countKey, -1) == -1) file.WriteInteger(kSection, countKey, 0);
  int written = 0;
  for (const auto& entry : settings.entries) {
    if (entry.address.empty()) continue;
    ++written;
    file.WriteString(kSection, KeyOf(kAddressKey, written), entry.address);
    file.WriteBool(kSection, KeyOf(kTickKey, written), entry.ticked);
  }
  file.WriteInteger(kSection, countKey, written);
  edit.Commit();
}
