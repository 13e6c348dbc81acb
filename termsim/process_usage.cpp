#include "termsim/process_usage.h"

#include <dirent.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <sstream>
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

double ProcessorSeconds(pid_t pid) {
  std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  // The command name in parentheses may hold spaces; the fields after it do not.
  std::istringstream fields(text.substr(text.rfind(')') + 2));
  std::string field;
  unsigned long long user = 0;
  unsigned long long system = 0;
  // utime and stime are fields 14 and 15; the state (field 3) comes first here.
  for (int i = 3; i <= 13; ++i) fields >> field;
  fields >> user >> system;
  return static_cast<double>(user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
}
