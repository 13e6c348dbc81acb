#include "process/executable_path.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <vector>

std::string RunningExecutablePath() {
  std::vector<char> buffer(256);
  for (;;) {
    const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) {
      throw std::runtime_error(std::string("Cannot find the path of the running program: ") +
                               std::strerror(errno));
    }
    // A result that fills the buffer may have been cut short.
    if (static_cast<std::size_t>(n) < buffer.size()) return std::string(buffer.data(), n);
    buffer.resize(buffer.size() * 2);
  }
}

std::string ProgramFolderOf(const std::string& executablePath) {
  const auto slash = executablePath.rfind('/');
  if (slash == std::string::npos) return ".";
  return executablePath.substr(0, slash);
}
