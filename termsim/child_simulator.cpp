#include "termsim/child_simulator.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "tests/support/simulator_process.h"

namespace {

// Reads `fd` up to the first "listening ADDR:PORT" line; returns the port.
int ReadListeningPort(int fd) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  std::string line;
  char c;
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd entry{fd, POLLIN, 0};
    if (poll(&entry, 1, 100) <= 0) continue;
    if (read(fd, &c, 1) != 1) break;
    if (c != '\n') {
      line += c;
    } else if (line.rfind("listening ", 0) == 0) {
      return std::stoi(line.substr(line.rfind(':') + 1));
    } else {
      line.clear();
    }
  }
  throw std::runtime_error("orlent-termsim did not start listening");
}

}  // namespace

ChildSimulator::ChildSimulator(const std::vector<std::string>& args) {
  int out[2];
  int err[2];
  if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) {
    throw std::runtime_error("cannot make a pipe");
  }
  std::string path = SimulatorProcess::Path();
  std::vector<std::string> copies = args;
  std::vector<char*> argv{path.data()};
  for (std::string& arg : copies) argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_ = fork();
  if (pid_ == 0) {
    // Only async-signal-safe calls between fork and exec.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    dup2(out[1], STDOUT_FILENO);
    dup2(err[1], STDERR_FILENO);
    execv(path.c_str(), argv.data());
    _exit(127);
  }
  close(out[1]);
  close(err[1]);
  output_ = out[0];
  errors_ = err[0];
  try {
    if (pid_ < 0) throw std::runtime_error("cannot start " + path);
    port_ = ReadListeningPort(output_);
  } catch (...) {
    Stop();
    throw;
  }
}

ChildSimulator::~ChildSimulator() {
  Stop();
}

void ChildSimulator::Stop() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
  }
  for (int* fd : {&output_, &errors_}) {
    if (*fd >= 0) close(*fd);
    *fd = -1;
  }
}

bool ChildSimulator::TakeErrorOutput(int waitMs) {
  pollfd entry{errors_, POLLIN, 0};
  if (poll(&entry, 1, waitMs) <= 0) return true;
  char buffer[4096];
  ssize_t n = read(errors_, buffer, sizeof buffer);
  if (n > 0) errorText_.append(buffer, static_cast<size_t>(n));
  return n != 0;
}

std::string ChildSimulator::WaitForErrorLine(const std::string& text,
                                             std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    size_t found = errorText_.find(text);
    size_t end = found == std::string::npos ? found : errorText_.find('\n', found);
    if (end != std::string::npos) {
      size_t begin = errorText_.rfind('\n', found);
      begin = begin == std::string::npos ? 0 : begin + 1;
      return errorText_.substr(begin, end - begin);
    }
    if (std::chrono::steady_clock::now() >= deadline || !TakeErrorOutput(50)) return "";
  }
}

const std::string& ChildSimulator::errorOutput() {
  TakeErrorOutput(0);
  return errorText_;
}

int ChildSimulator::OpenFiles() const {
  DIR* folder = opendir(("/proc/" + std::to_string(pid_) + "/fd").c_str());
  if (!folder) return -1;
  int count = 0;
  while (dirent* entry = readdir(folder)) {
    if (entry->d_name[0] != '.') ++count;
  }
  closedir(folder);
  return count;
}

double ChildSimulator::ProcessorSeconds() const {
  std::ifstream file("/proc/" + std::to_string(pid_) + "/stat");
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
