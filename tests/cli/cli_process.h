// A program run as a child process by the tests, as a script would run it,
// with a time limit after which it is killed.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

struct ProcessResult {
  int exitCode = -1;  // -1 when a signal ended the process
  std::string out;    // standard output
  std::string err;    // standard error, with a note when the time limit ended the run
};

// Called with the child's process id once it has started, and with its
// standard output so far each time more of it arrives.
using OutputWatch = std::function<void(pid_t pid, const std::string& out)>;

// Runs `program` with `args` to its end, with `environment` entries
// ("NAME=value") added to the test's own, in the folder `workingFolder`.
// A run that outlasts `limit` is killed with its process group.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& workingFolder = ".",
                         const std::vector<std::string>& environment = {},
                         std::chrono::seconds limit = std::chrono::seconds(60),
                         const OutputWatch& watch = nullptr);

// "2026-12-08": the local date `days` days from now, as the program names
// its received files and journals.
std::string LocalDate(int days = 0);
