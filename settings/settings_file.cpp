#include "settings/settings_file.h"

#include <stdexcept>
#include <utility>

#include "settings/atomic_file.h"
#include "settings/folder_lock.h"
#include "settings/ini_text.h"
#include "settings/settings_edit.h"
#include "text/str_to_int.h"

namespace {

// A file that is missing or cannot be read gives every read its default.
IniText ReadText(const std::string& path) {
  const auto content = ReadWholeFile(path);
  return IniText(content.status == ReadStatus::Ok ? content.bytes : std::string());
}

}  // namespace

SettingsFile::SettingsFile(std::string path)
    : path_(std::move(path)), lock_(std::make_unique<FolderLock>(path_ + ".lock")) {}

SettingsFile::~SettingsFile() = default;

std::optional<std::string> SettingsFile::Find(const std::string& section,
                                              const std::string& key) const {
  return edit_ ? edit_->Find(section, key) : ReadText(path_).Find(section, key);
}

std::string SettingsFile::ReadString(const std::string& section, const std::string& key,
                                     const std::string& defaultValue) const {
  auto value = Find(section, key);
  if (!value) return defaultValue;
  if (value->size() > kMaxValueLength) value->resize(kMaxValueLength);
  return *value;
}

int SettingsFile::ReadInteger(const std::string& section, const std::string& key,
                              int defaultValue) const {
  const auto value = TryStrToInt(ReadString(section, key, std::string()));
  return value ? *value : defaultValue;
}

bool SettingsFile::ReadBool(const std::string& section, const std::string& key,
                            bool defaultValue) const {
  return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

std::vector<std::string> SettingsFile::ReadSection(const std::string& section) const {
  return edit_ ? edit_->Keys(section) : ReadText(path_).Keys(section);
}

void SettingsFile::ReadSectionValues(
    const std::string& section,
    const std::function<void(std::string_view, std::string_view)>& visit) const {
  const auto cut = [&visit](std::string_view name, std::string_view value) {
    visit(name, value.substr(0, kMaxValueLength));
  };
  if (edit_) {
    edit_->ForEachKey(section, cut);
  } else {
    ReadText(path_).ForEachKey(section, cut);
  }
}

void SettingsFile::WriteString(const std::string& section, const std::string& key,
                               const std::string& value) {
  if (value.find_first_of("\r\n") != std::string::npos) {
    throw std::invalid_argument("Cannot write " + key + " to " + path_ +
                                ": the value holds a line break");
  }
  if (edit_) {
    edit_->Set(section, key, value);
    return;
  }
  SettingsEdit edit(*this, SettingsEdit::Purpose::Change);
  edit_->Set(section, key, value);
  edit.Commit();
}

void SettingsFile::WriteInteger(const std::string& section, const std::string& key, int value) {
  WriteString(section, key, std::to_string(value));
}

void SettingsFile::WriteBool(const std::string& section, const std::string& key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}
