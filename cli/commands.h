// The commands of orlent-cli. Each runs the program's own commands, as the
// window's controls would, and returns the process's exit status.
#pragma once

#include <optional>
#include <string>

#include "cli/cli_run.h"

int ListTerminals(CliRun& run);
int AddTerminal(CliRun& run, const std::string& address);
int DeleteTerminal(CliRun& run, int number);
int ChangeTerminal(CliRun& run, int number, const std::string& address);
int TickTerminal(CliRun& run, int number, bool ticked);
int SetPort(CliRun& run, const std::string& port);

// An option not given takes its value from the settings file.
struct SendOptions {
  std::string kind;  // empty: the data kind in force at start-up
  std::string file;  // empty: the Send File of the chosen kind
  std::optional<int> parallel;
  std::optional<int> pauseMs;
  std::optional<int> answerTimeoutMs;
  std::string summaryJson;  // empty: no JSON summary written
};
int Send(CliRun& run, const SendOptions& options);

struct UploadOptions {
  std::string kind;
  std::string terminal;
  std::string out;                     // empty: the kind's upload file name
  std::optional<int> answerTimeoutMs;  // not given: the settings file's
  std::string format = "text";         // "csv": a report also written as CSV beside it
};
int Upload(CliRun& run, const UploadOptions& options);

int Read(CliRun& run, const std::string& file);
