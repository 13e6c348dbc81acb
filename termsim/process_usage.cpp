#include "termsim/process_usage.h"

#include <dirent.h>
#include <string>

int OpenFiles(pid_t pid) {
  DIR* folder = opendir(("/proc/" + std::to_string(pid) + "/fd").c_str());
  if (!folder) return -1;
  int count = 0;
  while (dirent* entry = readdir(folder)) {
    if (entry->d_name[0] != '.') ++count;
  }
  closedir(folder);
  return count;
}
