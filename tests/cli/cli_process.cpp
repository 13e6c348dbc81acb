#include "tests/cli/cli_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <stdexcept>

namespace {

// Reads both pipes until they close, so that neither can fill up and stall the
// child; false when `deadline` came first.
bool Drain(int outFd, int errFd, ProcessResult& result,
           std::chrono::steady_clock::time_point deadline, pid_t pid, const OutputWatch& watch) {
  pollfd fds[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
  std::string* sinks[2] = {&result.out, &result.err};
  int open = 2;
  while (open > 0) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    const int ready = poll(fds, 2, static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0) break;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      char buffer[4096];
      const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
      if (n > 0) {
        sinks[i]->append(buffer, static_cast<std::size_t>(n));
        if (i == 0 && watch) watch(pid, result.out);
      } else {
        close(fds[i].fd);
        fds[i].fd = -1;
        --open;
      }
    }
  }
  for (const pollfd& entry : fds) {
    if (entry.fd >= 0) close(entry.fd);
  }
  return open == 0;
}

}  // namespace

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& workingFolder,
                         const std::vector<std::string>& environment, std::chrono::seconds limit,
                         const OutputWatch& watch) {
  int out[2], err[2];
  if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork");
  if (pid == 0) {
    setpgid(0, 0);  // its own group, so that a time-out ends what it started too
    dup2(out[1], 1);
    dup2(err[1], 2);
    if (chdir(workingFolder.c_str()) != 0) _exit(126);
    for (const auto& entry : environment) putenv(const_cast<char*>(entry.c_str()));
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  setpgid(pid, pid);  // also here, so that the group exists before any time-out
  close(out[1]);
  close(err[1]);
  ProcessResult result;
  if (watch) watch(pid, result.out);
  if (!Drain(out[0], err[0], result, std::chrono::steady_clock::now() + limit, pid, watch)) {
    kill(-pid, SIGKILL);
    result.err += "\n[killed after " + std::to_string(limit.count()) + " s]\n";
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

std::string LocalDate(int days) {
  const std::time_t then = std::time(nullptr) + days * 86400;
  std::tm local{};
  localtime_r(&then, &local);
  char text[16];
  std::strftime(text, sizeof text, "%Y-%m-%d", &local);
  return text;
}
