// orlent-cli run as a child process by the tests, as a script would run it.
#pragma once

#include <string>
#include <vector>

struct ProcessResult {
  int exitCode = -1;  // -1 when a signal ended the process
  std::string out;    // standard output
  std::string err;    // standard error
};

// Runs `program` with `args` to its end, with `environment` entries
// ("NAME=value") added to the test's own, in the folder `workingFolder`.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& workingFolder = ".",
                         const std::vector<std::string>& environment = {});
