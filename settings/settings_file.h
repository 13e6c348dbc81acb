// SettingsFile: the settings file, a private-profile text file of [sections] and
// key=value lines, read and written by section and key with defaults. Outside
// a SettingsEdit every read looks at the file as it is on disk and every write
// is an edit of its own; inside one, reads and writes work on the text the
// edit read, which reaches the disk in one atomic replacement when the edit
// is committed. Nothing is ever half-written.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

class FolderLock;
class IniText;

// An edit that does not wait found the settings file's edit lock held by
// another Orlent process; the file is as it was, and the edit may be tried
// again.
class SettingsBusy : public std::runtime_error {
 public:
  explicit SettingsBusy(const std::string& path)
      : std::runtime_error("Unable to write to " + path +
                           ": another Orlent process is changing it"),
        path_(path) {}
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

class SettingsFile {
 public:
  // Opens the settings file at `path` by name; the file need not exist. The
  // locks of its folder are in `path` + ".lock".
  explicit SettingsFile(std::string path);
  ~SettingsFile();
  SettingsFile(const SettingsFile&) = delete;
  SettingsFile& operator=(const SettingsFile&) = delete;

  // At most kMaxValueLength characters; blanks around the value and one pair
  // of enclosing quotes are dropped. The default applies to a missing key only.
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& defaultValue) const;
  // A value that is not an integer (see TryStrToInt) counts as missing.
  int ReadInteger(const std::string& section, const std::string& key, int defaultValue) const;
  bool ReadBool(const std::string& section, const std::string& key, bool defaultValue) const;
  // Names of the keys of `section`, in file order.
  std::vector<std::string> ReadSection(const std::string& section) const;
  // Every key of `section` in file order, repeated names included, with its
  // value as ReadString gives it: one walk over the section.
  void ReadSectionValues(
      const std::string& section,
      const std::function<void(std::string_view name, std::string_view value)>& visit) const;

  // On failure throws std::runtime_error "Unable to write to <path>" and
  // leaves the file as it was. A value holding a line break would add lines
  // of its own to the file, so it is refused with std::invalid_argument.
  void WriteString(const std::string& section, const std::string& key, const std::string& value);
  void WriteInteger(const std::string& section, const std::string& key, int value);
  void WriteBool(const std::string& section, const std::string& key, bool value);

  const std::string& FileName() const { return path_; }
  FolderLock& Lock() { return *lock_; }
  // Whether a read or an edit waits while another process holds the edit
  // lock (the default, as the command line does), or throws SettingsBusy at
  // once (the window, whose thread must not be held by another process).
  void WaitForLock(bool wait) { waitForLock_ = wait; }
  bool WaitsForLock() const { return waitForLock_; }

  static constexpr std::size_t kMaxValueLength = 2047;

 private:
  friend class SettingsEdit;
  std::optional<std::string> Find(const std::string& section, const std::string& key) const;

  std::string path_;
  std::unique_ptr<FolderLock> lock_;
  IniText* edit_ = nullptr;  // the text of the edit under way, if any
  bool waitForLock_ = true;
};
