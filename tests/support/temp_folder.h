// A fresh folder under the system's temporary folder, removed with everything
// in it when the test ends.
#pragma once

#include <string>

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }
  // Full path of `name` inside the folder.
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  // Writes `bytes` to `name` inside the folder, replacing it.
  void Write(const std::string& name, const std::string& bytes) const;
  // Whole content of `name`; empty when it does not exist.
  std::string Read(const std::string& name) const;

 private:
  std::string path_;
};
