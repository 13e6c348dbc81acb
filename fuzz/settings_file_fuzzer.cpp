// The settings file: any bytes read as Orlent.ini, then written key by key,
// then the terminal list loaded, saved and loaded again through the
// program's own commands.
//
// Checks: a key written reads back its value (also through a fresh SettingsFile);
// the write changes one line, or adds the key (and its section) and nothing
// else, keeping every other line and line end; every other key keeps its
// value; a value with a line break is refused and leaves the file alone; a
// load never gives more entries than the file has address and tick keys, nor
// a value holding a line break; a save after a load keeps the list (less its
// empty entries) and the port, and a second save changes no byte.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "settings/settings_file.h"

namespace {

struct Line {
  std::string text;
  std::string end;
};

// Lines end in LF, CR LF or a lone CR.
std::vector<Line> SplitLines(std::string_view bytes) {
  std::vector<Line> lines;
  while (!bytes.empty()) {
    const auto stop = bytes.find_first_of("\r\n");
    if (stop == std::string_view::npos) {
      lines.push_back({std::string(bytes), ""});
      break;
    }
    const bool crlf = bytes[stop] == '\r' && stop + 1 < bytes.size() && bytes[stop + 1] == '\n';
    const std::size_t endLength = crlf ? 2 : 1;
    lines.push_back(
        {std::string(bytes.substr(0, stop)), std::string(bytes.substr(stop, endLength))});
    bytes.remove_prefix(stop + endLength);
  }
  return lines;
}

std::size_t LineEnds(std::string_view bytes) {
  std::size_t ends = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const bool crlf = bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n';
    ends += bytes[i] == '\n' || (bytes[i] == '\r' && !crlf) ? 1 : 0;
  }
  return ends;
}

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r';
}

// A value that reads back exactly as written: no blanks around it, not
// enclosed in quotes, not longer than a read returns.
bool ReadsBackAsWritten(std::string_view value) {
  if (value.size() > SettingsFile::kMaxValueLength) return false;
  if (!value.empty() && (IsBlank(value.front()) || IsBlank(value.back()))) return false;
  const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                      value.back() == value.front();
  return !quoted;
}

const char* const kSections[] = {"Terminal", "terminal", "Other"};
const char* const kKeys[] = {"TerminalPort",      "TerminalNums", "TerminalIP_1",
                             "TerminalChecked_1", "terminalip_2", "TerminalIP_3"};

using Values = std::map<std::pair<std::string, std::string>, std::string>;

// The value of every key of the sections the target writes.
Values ReadAll(const SettingsFile& ini) {
  Values values;
  for (const char* section : {"Terminal", "Other"}) {
    for (const auto& key : ini.ReadSection(section)) {
      values[{section, key}] = ini.ReadString(section, key, "\x01missing");
    }
  }
  return values;
}

// Bytes shown with C escapes, for the report of a broken invariant.
std::string Escaped(std::string_view bytes) {
  std::string text;
  for (unsigned char c : bytes) {
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      text += static_cast<char>(c);
    } else {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\x%02X", c);
      text += escape;
    }
  }
  return text;
}

// After one write, the file differs from `before` in one place only: part of
// one line replaced, or lines added, and the key's line is there. Every
// other byte, line ends included, stays as it was.
void CheckOneLineChanged(const std::string& before, const std::string& after,
                         const std::string& key, const std::string& value) {
  const std::size_t shorter = std::min(before.size(), after.size());
  std::size_t prefix = 0;
  while (prefix < shorter && before[prefix] == after[prefix]) ++prefix;
  std::size_t suffix = 0;
  while (suffix < shorter - prefix &&
         before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix]) {
    ++suffix;
  }
  const std::string_view removed(before.data() + prefix, before.size() - prefix - suffix);
  const std::string_view added(after.data() + prefix, after.size() - prefix - suffix);
  FUZZ_CHECK(removed.find_first_of("\r\n") == std::string_view::npos && LineEnds(added) <= 3,
             "more than the key's line changed\nbefore: " + Escaped(before) +
                 "\nafter:  " + Escaped(after));
  bool found = false;
  for (const auto& line : SplitLines(after)) {
    const auto equals = line.text.find('=');
    found = found || (equals != std::string::npos && SameName(line.text.substr(0, equals), key) &&
                      line.text.substr(equals + 1) == value);
  }
  FUZZ_CHECK(found, "no line " + key + "=" + Escaped(value) + " in " + Escaped(after));
}

void CheckWrite(SettingsFile& ini, const std::string& section, const std::string& key,
                const std::string& value) {
  const std::string before = ReadFileBytes(ini.FileName());
  const Values valuesBefore = ReadAll(ini);
  if (value.find_first_of("\r\n") != std::string::npos) {
    bool refused = false;
    try {
      ini.WriteString(section, key, value);
    } catch (const std::invalid_argument&) {
      refused = true;
    }
    FUZZ_CHECK(refused, "a value with a line break was written");
    FUZZ_CHECK(ReadFileBytes(ini.FileName()) == before, "a refused write changed the file");
    return;
  }
  ini.WriteString(section, key, value);
  const std::string after = ReadFileBytes(ini.FileName());
  if (ReadsBackAsWritten(value)) {
    FUZZ_CHECK(ini.ReadString(section, key, "\x01missing") == value, "read back: " + key);
    FUZZ_CHECK(SettingsFile(ini.FileName()).ReadString(section, key, "\x01missing") == value,
               "reloaded: " + key);
  }
  if (after != before) CheckOneLineChanged(before, after, key, value);
  for (const auto& [name, old] : valuesBefore) {
    if (SameName(name.first, section) && SameName(name.second, key)) continue;
    FUZZ_CHECK(ini.ReadString(name.first, name.second, "\x01missing") == old,
               "writing " + key + " changed " + name.second);
  }
}

bool Quoted(const std::string& text) {
  return !ReadsBackAsWritten(text) && text.size() <= SettingsFile::kMaxValueLength;
}

// The address and tick keys of the (first) Terminal section: the most
// entries a load may give.
std::size_t EntryKeys(Program& program) {
  std::size_t keys = 0;
  for (const auto& key : program.Settings()->ReadSection("Terminal")) {
    for (const std::string_view prefix : {"TerminalIP_", "TerminalChecked_"}) {
      keys += key.size() > prefix.size() && SameName(key.substr(0, prefix.size()), prefix) ? 1 : 0;
    }
  }
  return keys;
}

// Load, save, load, save through the window's handlers.
void CheckSaveCycle(const std::string& path) {
  static FuzzProgram window;
  Program& program = *window.program;
  program.UseSettingsFile(std::make_unique<SettingsFile>(path));
  program.LoadTerminalSettings();
  const std::string port = program.Terminals().Port();
  std::vector<TerminalEntry> kept;
  bool quoted = Quoted(port);
  bool lineBreak = port.find_first_of("\r\n") != std::string::npos;
  for (const auto& item : program.Terminals().Entries()) {
    if (!item.address.empty()) kept.push_back(item);
    quoted = quoted || Quoted(item.address);
    lineBreak = lineBreak || item.address.find_first_of("\r\n") != std::string::npos;
  }
  // A lone CR ends its line, so nothing that is loaded can hold a line break
  // and block the save.
  FUZZ_CHECK(!lineBreak, "a loaded value holds a CR");
  FUZZ_CHECK(program.Terminals().Entries().size() <= EntryKeys(program), "more entries than keys");
  program.SaveTerminalSettings();
  program.LoadTerminalSettings();
  // One pair of quotes around a value is dropped at every read, as the
  // private-profile functions do, so such a value changes at each save.
  if (quoted) return;
  FUZZ_CHECK(program.Terminals().Port() == port, "the port changed");
  FUZZ_CHECK(program.Terminals().Entries().size() == kept.size(), "entries lost or gained");
  for (std::size_t i = 0; i < kept.size(); ++i) {
    FUZZ_CHECK(program.Terminals().Entries()[i].address == kept[i].address &&
                   program.Terminals().Entries()[i].ticked == kept[i].ticked,
               "entry " + std::to_string(i + 1) + " changed");
  }
  const std::string saved = ReadFileBytes(path);
  program.SaveTerminalSettings();
  FUZZ_CHECK(ReadFileBytes(path) == saved, "a second save changed the file");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string path = WriteScratchFile("Orlent.ini", input.ConsumeRandomLengthString(4096));
  SettingsFile ini(path);
  for (int i = 0; i < 8 && input.remaining_bytes() > 0; ++i) {
    const std::string section = input.PickValueInArray(kSections);
    std::string key = input.PickValueInArray(kKeys);
    if (input.ConsumeBool()) {
      // A key name of the program's own alphabet.
      key = "Key";
      for (char c : input.ConsumeRandomLengthString(12)) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_')
          key += c;
      }
    }
    CheckWrite(ini, section, key, input.ConsumeRandomLengthString(64));
  }
  CheckSaveCycle(path);
  return 0;
}
