// orlent-termsim as a child process of a test or a benchmark: started on
// loopback addresses (port 0 gives a free port shared by all of them),
// watched from outside while it runs, stopped with SIGTERM as a user would.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

// Starts orlent-termsim with `args` (e.g. {"--listen","127.0.0.2:0","--listen","127.0.0.3:0"})
// and waits until it printed one "listening" line per --listen. The simulator
// also stops when the thread that started it ends, so start it from a thread
// that outlives the object (the test's own thread).
class SimulatorProcess {
 public:
  // Where the simulator's standard error goes: to the parent's own, where a
  // failing test shows it, or kept here for WaitForErrorLine. Kept text must
  // be read now and then: a full pipe would stop the simulator.
  enum class StandardError { kShared, kKept };

  explicit SimulatorProcess(std::vector<std::string> args,
                            StandardError standardError = StandardError::kShared);
  ~SimulatorProcess();  // stops it (SIGTERM) and waits
  SimulatorProcess(const SimulatorProcess&) = delete;
  SimulatorProcess& operator=(const SimulatorProcess&) = delete;

  void Stop();  // same, callable early; idempotent
  void Kill();  // ends it with SIGKILL, as a crash would, and waits
  pid_t pid() const { return pid_; }
  int port() const;  // the port of the first listener
  // "ADDR:PORT" of every listener, in the order of the --listen arguments.
  const std::vector<std::string>& listening() const { return listening_; }
  // After Stop(): the exit code, or -1 when a signal ended the process.
  int exitCode() const { return exitCode_; }

  // With StandardError::kKept: waits up to `timeout` for a line of standard
  // error that holds `text`; returns that line, or an empty text.
  std::string WaitForErrorLine(const std::string& text, std::chrono::milliseconds timeout);
  // With StandardError::kKept: everything written to standard error so far.
  const std::string& errorOutput();

  static std::string Path();  // full path of the built orlent-termsim

  // Runs orlent-termsim with `args` to its end (e.g. a --dump); its standard
  // output goes to `output`. Returns the exit code, -1 for a signal.
  static int Run(const std::vector<std::string>& args, std::string& output);

 private:
  void WaitForListeners(std::size_t expected);
  void End(int signal);
  // Takes what standard error holds, waiting up to `waitMs` for it; false
  // once it has ended.
  bool TakeErrorOutput(int waitMs);

  pid_t pid_ = -1;
  int output_ = -1;  // read ends of the child's standard output and error
  int errors_ = -1;
  std::vector<std::string> listening_;
  int exitCode_ = -1;
  std::string errorText_;
};

// Starts one simulator per entry of `argsOfEach` (each with its own faults),
// all on one port: the first picks it with "--listen ADDR:0", and every
// "ADDR:0" of the later ones is given that port. Another program may take
// the port on a later one's address meanwhile; then all start again on a new
// port (up to five tries).
std::vector<std::unique_ptr<SimulatorProcess>> StartSharingOnePort(
    const std::vector<std::vector<std::string>>& argsOfEach);
