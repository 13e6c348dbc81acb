#include "model/program_folder.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <tuple>
#include <vector>

#include "process/executable_path.h"

namespace fs = std::filesystem;

namespace {

bool IsAbsolute(const char* path) {
  return path && path[0] == '/';
}

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (IsAbsolute(home)) return home;
  const passwd* account = getpwuid(getuid());
  return account && IsAbsolute(account->pw_dir) ? account->pw_dir : "";
}

// mkdir -p with mode 0700 for each folder it makes, as the XDG convention asks.
void MakeFolders(const fs::path& folder) {
  fs::path made;
  for (const fs::path& part : folder) {
    made /= part;
    if (mkdir(made.c_str(), 0700) != 0 && errno != EEXIST) return;
  }
}

bool IsSample(const fs::directory_entry& entry) {
  const fs::path name = entry.path().filename();
  return entry.is_regular_file() && (name == "Orlent.ini" || name.extension() == ".txt");
}

// Copies `from` into `folder` under its own name unless a file of that name is
// there: the copy is made under a temporary name and linked in, so neither a
// crash nor a second Orlent process starting at once leaves half a sample or
// replaces a file.
void CopyWithoutReplacing(const fs::path& from, const fs::path& folder) {
  const fs::path target = folder / from.filename();
  std::error_code error;
  if (fs::exists(fs::symlink_status(target, error))) return;
  const std::string pattern = (folder / ".").string() + from.filename().string() + ".XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = mkstemp(name.data());
  if (fd < 0) return;
  close(fd);
  const fs::path temporary(name.data());
  if (fs::copy_file(from, temporary, fs::copy_options::overwrite_existing, error)) {
    fs::permissions(temporary, fs::perms::owner_read | fs::perms::owner_write, error);
    std::ignore =
        link(temporary.c_str(), target.c_str());  // fails, as it should, when the user has one
  }
  unlink(temporary.c_str());
}

}  // namespace

bool ProgramFolderIsWritable(const std::string& folder) {
  const std::string path = folder.empty() ? "/" : folder;
  return access(path.c_str(), W_OK | X_OK) == 0;
}

std::string PerUserFolder() {
  const char* data = std::getenv("XDG_DATA_HOME");
  if (IsAbsolute(data)) return (fs::path(data) / "orlent").string();
  const std::string home = HomeFolder();
  return home.empty() ? "" : (fs::path(home) / ".local/share/orlent").string();
}

std::vector<std::string> SampleFolders(const std::string& programFolder) {
  constexpr std::string_view kInstalled = "/lib/orlent";
  if (!programFolder.ends_with(kInstalled)) return {programFolder};
  const std::string prefix = programFolder.substr(0, programFolder.size() - kInstalled.size());
  const std::string settingsRoot =
      prefix.ends_with("/usr") ? prefix.substr(0, prefix.size() - 4) : prefix;
  return {settingsRoot + "/etc/orlent", prefix + "/share/orlent"};
}

void PreparePerUserFolder(const std::string& folder, const std::string& programFolder) {
  MakeFolders(folder);
  for (const std::string& samples : SampleFolders(programFolder)) {
    std::error_code error;
    fs::directory_iterator files(samples.empty() ? "/" : samples, error);
    if (error) continue;
    for (const fs::directory_entry& entry : files) {
      if (IsSample(entry)) CopyWithoutReplacing(entry.path(), folder);
    }
  }
}

std::string WorkingFolder(const std::string& programFolder) {
  if (ProgramFolderIsWritable(programFolder)) return programFolder;
  const std::string perUser = PerUserFolder();
  if (perUser.empty()) return programFolder;
  PreparePerUserFolder(perUser, programFolder);
  return perUser;
}

std::string WindowExecutable(const std::string& executable) {
  const std::string programFolder = ProgramFolderOf(executable);
  const std::string folder = WorkingFolder(programFolder);
  if (folder == programFolder) return executable;
  std::error_code unchanged;  // without the folder, upload files go where they went before
  fs::current_path(folder, unchanged);
  return (fs::path(folder) / fs::path(executable).filename()).string();
}
