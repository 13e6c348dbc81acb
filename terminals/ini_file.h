// TIniFile: the settings file, a private-profile text file of [sections] and
// key=value lines, read and written by section and key with defaults.
#pragma once

#include <string>

class TIniFile {
 public:
  // Opens the settings file at `path` by name; the file need not exist.
  explicit TIniFile(std::string path);

  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& defaultValue) const;
  int ReadInteger(const std::string& section, const std::string& key, int defaultValue) const;
  bool ReadBool(const std::string& section, const std::string& key, bool defaultValue) const;

  // Each write reaches the disk at once; on failure throws std::runtime_error
  // "Unable to write to <path>" and leaves the file as it was.
  void WriteString(const std::string& section, const std::string& key, const std::string& value);
  void WriteInteger(const std::string& section, const std::string& key, int value);
  void WriteBool(const std::string& section, const std::string& key, bool value);

  const std::string& FileName() const { return path_; }

 private:
  std::string path_;
};
