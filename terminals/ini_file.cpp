#include "terminals/ini_file.h"

#include <stdexcept>
#include <utility>

#include "app/str_to_int.h"
#include "terminals/atomic_file.h"
#include "terminals/ini_text.h"

namespace {

// A file that is missing or cannot be read gives every read its default.
IniText ReadText(const std::string& path) {
  const auto content = ReadWholeFile(path);
  return IniText(content.status == ReadStatus::Ok ? content.bytes : std::string());
}

}  // namespace

TIniFile::TIniFile(std::string path) : path_(std::move(path)) {}

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) const {
  auto value = ReadText(path_).Find(section, key);
  if (!value) return defaultValue;
  if (value->size() > kMaxValueLength) value->resize(kMaxValueLength);
  return *value;
}

int TIniFile::ReadInteger(const std::string& section, const std::string& key,
                          int defaultValue) const {
  const auto value = TryStrToInt(ReadString(section, key, std::string()));
  return value ? *value : defaultValue;
}

bool TIniFile::ReadBool(const std::string& section, const std::string& key,
                        bool defaultValue) const {
  return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

std::vector<std::string> TIniFile::ReadSection(const std::string& section) const {
  return ReadText(path_).Keys(section);
}

void TIniFile::WriteString(const std::string& section, const std::string& key,
                           const std::string& value) {
  if (value.find_first_of("\r\n") != std::string::npos) {
    throw std::invalid_argument("Cannot write " + key + " to " + path_ +
                                ": the value holds a line break");
  }
  // An existing file that cannot be read would lose its other lines if it
  // were replaced, so it counts as a failed write.
  const auto content = ReadWholeFile(path_);
  if (content.status == ReadStatus::Failed) throw std::runtime_error("Unable to write to " + path_);
  IniText text(content.bytes);
  text.Set(section, key, value);
  const auto bytes = text.Bytes();
  if (content.status == ReadStatus::Ok && bytes == content.bytes) return;
  if (!ReplaceFileAtomically(path_, bytes)) throw std::runtime_error("Unable to write to " + path_);
}

void TIniFile::WriteInteger(const std::string& section, const std::string& key, int value) {
  WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}
