#include "settings/terminal_settings.h"

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <utility>

#include "settings/settings_edit.h"
#include "settings/settings_file.h"
#include "text/str_to_int.h"

namespace {

constexpr const char* kSection = "Terminal";
constexpr std::string_view kPortKey = "TerminalPort";
constexpr std::string_view kCountKey = "TerminalNums";
constexpr std::string_view kAddressKey = "TerminalIP_";
constexpr std::string_view kTickKey = "TerminalChecked_";
constexpr std::string_view kSendFileKey = "SendFile";
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

// The first value of each named key, as a read by name finds it.
struct NamedValues {
  std::optional<std::string> port, count, parallel, pause, answerTimeout, codePage, sendFile;
};

bool NameIs(std::string_view name, std::string_view key) {
  return name.size() == key.size() && StartsWithNoCase(name, key);
}

// One walk over the Terminal section: the named keys, and the entry keys
// into `entries` when it is given.
NamedValues WalkSection(const SettingsFile& file, std::vector<EntryKey>* entries) {
  NamedValues named;
  const std::pair<std::string_view, std::optional<std::string>*> slots[] = {
      {kPortKey, &named.port},
      {kCountKey, &named.count},
      {kParallelKey.name, &named.parallel},
      {kPauseKey.name, &named.pause},
      {kAnswerTimeoutKey.name, &named.answerTimeout},
      {kCodePageKey, &named.codePage},
      {kSendFileKey, &named.sendFile}};
  file.ReadSectionValues(kSection, [&](std::string_view name, std::string_view value) {
    for (const auto& [key, slot] : slots) {
      if (!NameIs(name, key)) continue;
      if (!*slot) *slot = value;
      return;
    }
    if (!entries) return;
    if (const int n = EntryNumberOf(name, kAddressKey)) {
      entries->push_back({n, false, std::string(value)});
    } else if (const int t = EntryNumberOf(name, kTickKey)) {
      entries->push_back({t, true, std::string(value)});
    }
  });
  return named;
}

// The number `text` holds for `key`; nothing when it is not a number in the key's range.
std::optional<int> InRange(const NumberKey& key, std::string_view text) {
  const auto n = TryStrToInt(text);
  if (!n || *n < key.min || *n > key.max) return std::nullopt;
  return *n;
}

// The number the file gives for `key`: the value it holds, or the default
// when it holds none; nothing when its value cannot be taken.
std::optional<int> GivenNumber(const NumberKey& key, const std::optional<std::string>& held) {
  return held ? InRange(key, *held) : key.absent;
}

// The number to use for `key`; a value that cannot be taken is added to `setAside`.
int TakeNumber(const NumberKey& key, const std::optional<std::string>& held,
               const std::string& path, std::vector<SetAsideSetting>& setAside) {
  if (const auto given = GivenNumber(key, held)) return *given;
  setAside.push_back(
      {key.name, *held,
       "is not a number from " + std::to_string(key.min) + " to " + std::to_string(key.max),
       std::to_string(key.absent), path});
  return key.absent;
}

// Writes `value` unless the file already gives it, or holds a value that
// cannot be taken and is to keep it.
void WriteNumber(SettingsFile& file, const NumberKey& key, const std::optional<std::string>& held,
                 int value, SetAside setAside) {
  const auto given = GivenNumber(key, held);
  if (!given && setAside == SetAside::Kept) return;
  if (given != value) file.WriteInteger(kSection, key.name, value);
}

// The character set the file gives: the one it names, or the default when it
// names none; nothing when the name is not one the system converts.
std::optional<CodePage> GivenCodePage(const std::optional<std::string>& held) {
  return held ? CodePage::Named(*held) : CodePage();
}

// The character set to use; a name that cannot be taken is added to `setAside`.
CodePage TakeCodePage(const std::optional<std::string>& held, const std::string& path,
                      std::vector<SetAsideSetting>& setAside) {
  if (const auto given = GivenCodePage(held)) return *given;
  setAside.push_back(
      {kCodePageKey, *held, "is not a character set the system converts", kDefaultCodePage, path});
  return CodePage();
}

// Everything in one walk over the Terminal section.
TerminalSettings ReadTerminalSection(const SettingsFile& file) {
  std::vector<EntryKey> keys;
  const NamedValues named = WalkSection(file, &keys);
  TerminalSettings settings;
  settings.port = named.port.value_or(kDefaultPort);
  const int total = named.count ? TryStrToInt(*named.count).value_or(0) : 0;
  settings.entries = EntriesUpTo(std::move(keys), total);
  const std::string& path = file.FileName();
  settings.cycle.parallel = TakeNumber(kParallelKey, named.parallel, path, settings.setAside);
  settings.cycle.pauseMs = TakeNumber(kPauseKey, named.pause, path, settings.setAside);
  settings.cycle.answerTimeoutMs =
      TakeNumber(kAnswerTimeoutKey, named.answerTimeout, path, settings.setAside);
  settings.codePage = TakeCodePage(named.codePage, path, settings.setAside);
  settings.sendFile = named.sendFile.value_or("");
  return settings;
}

std::string KeyOf(std::string_view prefix, int n) {
  return std::string(prefix) + std::to_string(n);
}

}  // namespace

std::string SetAsideSetting::Fault() const {
  return key + " '" + value + "' in " + file + " " + reason;
}

TerminalSettings LoadTerminalSettings(SettingsFile& file) {
  const SettingsEdit edit(file, SettingsEdit::Purpose::Load);
  if (!edit.Readable()) throw std::runtime_error("Unable to read " + file.FileName());
  return ReadTerminalSection(file);
}

void SaveTerminalSettings(SettingsFile& file, const TerminalSettings& settings, SetAside setAside) {
  const std::string countKey(kCountKey);
  SettingsEdit edit(file, SettingsEdit::Purpose::Change);
  const NamedValues held = WalkSection(file, nullptr);
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
  WriteNumber(file, kParallelKey, held.parallel, settings.cycle.parallel, setAside);
  WriteNumber(file, kPauseKey, held.pause, settings.cycle.pauseMs, setAside);
  WriteNumber(file, kAnswerTimeoutKey, held.answerTimeout, settings.cycle.answerTimeoutMs,
              setAside);
  const auto givenCodePage = GivenCodePage(held.codePage);
  const bool codePageKept = !givenCodePage && setAside == SetAside::Kept;
  if (!codePageKept && (!givenCodePage || givenCodePage->Name() != settings.codePage.Name())) {
    file.WriteString(kSection, kCodePageKey, settings.codePage.Name());
  }
  if (held.sendFile.value_or("") != settings.sendFile) {
    file.WriteString(kSection, std::string(kSendFileKey), settings.sendFile);
  }
  edit.Commit();
}
