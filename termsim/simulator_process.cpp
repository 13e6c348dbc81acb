#include "termsim/simulator_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

namespace {

constexpr auto kStartTimeout = std::chrono::seconds(20);

// Starts the simulator with its standard output on a pipe, and its standard
// error on another when `errors` is given; returns their read ends there.
// The simulator is told to stop when the parent dies, so a crashed test
// leaves no simulator behind.
pid_t Spawn(const std::vector<std::string>& args, int& output, int* errors) {
  int out[2];
  int err[2] = {-1, -1};
  if (pipe2(out, O_CLOEXEC) != 0) throw std::runtime_error("cannot make a pipe");
  if (errors && pipe2(err, O_CLOEXEC) != 0) {
    close(out[0]);
    close(out[1]);
    throw std::runtime_error("cannot make a pipe");
  }
  std::string path = SimulatorProcess::Path();
  std::vector<std::string> copies = args;
  std::vector<char*> argv{path.data()};
  for (std::string& arg : copies) argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_t parent = getpid();
  pid_t pid = fork();
  if (pid == 0) {
    // Only async-signal-safe calls between fork and exec.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) _exit(127);
    dup2(out[1], STDOUT_FILENO);
    if (errors) dup2(err[1], STDERR_FILENO);
    execv(path.c_str(), argv.data());
    _exit(127);
  }
  for (int end : {out[1], err[1]}) {
    if (end >= 0) close(end);
  }
  if (pid < 0) {
    for (int end : {out[0], err[0]}) {
      if (end >= 0) close(end);
    }
    throw std::runtime_error("cannot start " + path);
  }
  output = out[0];
  if (errors) *errors = err[0];
  return pid;
}

int WaitForExit(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Reads one line from `fd`, waiting until `deadline`; false at the end of
// the output or when the time is up.
bool ReadLine(int fd, std::string& line, std::chrono::steady_clock::time_point deadline) {
  line.clear();
  char c;
  for (;;) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    pollfd entry{fd, POLLIN, 0};
    if (left.count() <= 0 || poll(&entry, 1, static_cast<int>(left.count())) <= 0) return false;
    if (read(fd, &c, 1) != 1) return false;
    if (c == '\n') return true;
    line += c;
  }
}

}  // namespace

std::string SimulatorProcess::Path() {
  return ORLENT_TERMSIM_PATH;
}

SimulatorProcess::SimulatorProcess(std::vector<std::string> args, StandardError standardError) {
  std::size_t expected = std::max<std::size_t>(1, std::count(args.begin(), args.end(), "--listen"));
  pid_ = Spawn(args, output_, standardError == StandardError::kKept ? &errors_ : nullptr);
  WaitForListeners(expected);
}

void SimulatorProcess::WaitForListeners(std::size_t expected) {
  auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
  std::string line;
  const std::string prefix = "listening ";
  while (listening_.size() < expected) {
    if (!ReadLine(output_, line, deadline)) {
      Stop();
      throw std::runtime_error("orlent-termsim did not start listening (exit code " +
                               std::to_string(exitCode_) + ")");
    }
    if (line.rfind(prefix, 0) == 0) listening_.push_back(line.substr(prefix.size()));
  }
}

SimulatorProcess::~SimulatorProcess() {
  Stop();
}

void SimulatorProcess::Stop() {
  End(SIGTERM);
}

void SimulatorProcess::Kill() {
  End(SIGKILL);
}

void SimulatorProcess::End(int signal) {
  if (pid_ < 0) return;
  kill(pid_, signal);
  exitCode_ = WaitForExit(pid_);
  pid_ = -1;
  for (int* fd : {&output_, &errors_}) {
    if (*fd >= 0) close(*fd);
    *fd = -1;
  }
}

int SimulatorProcess::port() const {
  const std::string& first = listening_.front();
  return std::stoi(first.substr(first.rfind(':') + 1));
}

bool SimulatorProcess::TakeErrorOutput(int waitMs) {
  if (errors_ < 0) return false;  // standard error is shared: nothing is kept here
  pollfd entry{errors_, POLLIN, 0};
  if (poll(&entry, 1, waitMs) <= 0) return true;
  char buffer[4096];
  ssize_t n = read(errors_, buffer, sizeof buffer);
  if (n > 0) errorText_.append(buffer, static_cast<std::size_t>(n));
  return n != 0;
}

std::string SimulatorProcess::WaitForErrorLine(const std::string& text,
                                               std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    std::size_t found = errorText_.find(text);
    std::size_t end = found == std::string::npos ? found : errorText_.find('\n', found);
    if (end != std::string::npos) {
      std::size_t begin = errorText_.rfind('\n', found);
      begin = begin == std::string::npos ? 0 : begin + 1;
      return errorText_.substr(begin, end - begin);
    }
    if (std::chrono::steady_clock::now() >= deadline || !TakeErrorOutput(50)) return "";
  }
}

const std::string& SimulatorProcess::errorOutput() {
  TakeErrorOutput(0);
  return errorText_;
}

int SimulatorProcess::Run(const std::vector<std::string>& args, std::string& output) {
  int fd = -1;
  pid_t pid = Spawn(args, fd, nullptr);
  output.clear();
  char buffer[4096];
  ssize_t n;
  while ((n = read(fd, buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR)) {
    if (n > 0) output.append(buffer, static_cast<std::size_t>(n));
  }
  close(fd);
  return WaitForExit(pid);
}

namespace {

// `args` with every "--listen ADDR:0" turned into "--listen ADDR:`port`".
std::vector<std::string> OnPort(std::vector<std::string> args, int port) {
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& value = args[i];
    if (args[i - 1] == "--listen" && value.size() > 2 && value.ends_with(":0")) {
      args[i] = value.substr(0, value.size() - 1) + std::to_string(port);
    }
  }
  return args;
}

}  // namespace

std::vector<std::unique_ptr<SimulatorProcess>> StartSharingOnePort(
    const std::vector<std::vector<std::string>>& argsOfEach) {
  for (int attempt = 1;; ++attempt) {
    std::vector<std::unique_ptr<SimulatorProcess>> started;
    started.push_back(std::make_unique<SimulatorProcess>(argsOfEach.front()));
    const int port = started.front()->port();
    try {
      for (std::size_t i = 1; i < argsOfEach.size(); ++i) {
        started.push_back(std::make_unique<SimulatorProcess>(OnPort(argsOfEach[i], port)));
      }
      return started;
    } catch (const std::runtime_error&) {
      if (attempt == 5) throw;
    }
  }
}
