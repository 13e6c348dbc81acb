// orlent-termsim as a child of a test, with what the test needs to watch it
// from outside: its process id, its standard error, its open files and the
// processor time it has used.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

class ChildSimulator {
 public:
  // Starts orlent-termsim with `args` and waits for its first "listening" line.
  explicit ChildSimulator(const std::vector<std::string>& args);
  ~ChildSimulator();  // SIGTERM, then waits
  ChildSimulator(const ChildSimulator&) = delete;
  ChildSimulator& operator=(const ChildSimulator&) = delete;

  pid_t pid() const { return pid_; }
  int port() const { return port_; }

  // Waits up to `timeout` for a line of standard error that holds `text`;
  // returns that line, or an empty text.
  std::string WaitForErrorLine(const std::string& text, std::chrono::milliseconds timeout);
  // Everything written to standard error so far.
  const std::string& errorOutput();

  int OpenFiles() const;            // entries in /proc/PID/fd
  double ProcessorSeconds() const;  // user and system time, from /proc/PID/stat

 private:
  void Stop();
  // Takes what standard error holds, waiting up to `waitMs` for it; false
  // once it has ended.
  bool TakeErrorOutput(int waitMs);

  pid_t pid_ = -1;
  int output_ = -1;  // read ends of the child's standard output and error
  int errors_ = -1;
  int port_ = 0;
  std::string errorText_;
};
