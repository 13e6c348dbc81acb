// The commands of orlent-cli. Each hands the program the order its arguments
// make, as the window's controls hand theirs, and returns the process's exit
// status.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/cli_run.h"

int ListTerminals(CliRun& run);
int AddTerminal(CliRun& run, const std::string& address);
int DeleteTerminal(CliRun& run, int number);
int ChangeTerminal(CliRun& run, int number, const std::string& address);
int TickTerminal(CliRun& run, int number, bool ticked);
int SetPort(CliRun& run, const std::string& port);

// The options of a cycle; one not given takes its value from the settings file.
struct CycleRunOptions {
  std::optional<int> parallel;
  std::optional<int> pauseMs;
  std::optional<int> answerTimeoutMs;  // also of a single upload
};

// What the records of a send, an upload or a verification name, and the
// metrics file they go to besides the summary.
struct ReportingOptions {
  std::optional<std::string> shop;  // --shop; none: Name in Orlent.ini's Shop section
  std::string metrics;              // empty: no metrics file written
};

struct SendOptions {
  std::string kind;      // empty: the data kind in force at start-up
  std::string file;      // empty: the Send File of the chosen kind
  std::string terminal;  // empty: every ticked terminal
  CycleRunOptions cycle;
  std::string summaryJson;     // empty: no JSON summary written
  bool changes = false;        // each terminal only what it does not hold as the file has it
  bool deleteMissing = false;  // with `changes`: delete what the file no longer has
  ReportingOptions reporting;
};
int Send(CliRun& run, const SendOptions& options);

// `upload --terminal all`: a receive cycle over every ticked terminal.
inline constexpr const char* kEveryTickedTerminal = "all";

struct UploadOptions {
  std::string kind;
  std::string terminal;  // an address, or kEveryTickedTerminal
  std::string out;       // one terminal's file; empty: the kind's upload file name
  std::string outDir;    // files named by kind, address and date; empty with
                         // every ticked terminal: received/ in the program folder
  CycleRunOptions cycle;
  std::string format = "text";  // "csv": a report also written as CSV beside it
  std::string summaryJson;      // with every ticked terminal; empty: no JSON summary written
  ReportingOptions reporting;   // with every ticked terminal
};
int Upload(CliRun& run, const UploadOptions& options);

// `verify`: the terminals' records of one kind compared with its download file.
struct VerifyOptions {
  std::string kind;
  std::string file;      // empty: the Send File of the kind
  std::string terminal;  // empty: every ticked terminal
  CycleRunOptions cycle;
  std::string summaryJson;     // empty: no JSON summary written
  bool repair = false;         // then send each differing terminal what differs, and verify again
  bool deleteMissing = false;  // with `repair`: delete what only the terminal has
  ReportingOptions reporting;
};
int Verify(CliRun& run, const VerifyOptions& options);

// `plan`: what `send --changes` would send to each terminal, from the held state alone.
struct PlanOptions {
  std::string kind;      // empty: the data kind in force at start-up
  std::string file;      // empty: the Send File of the kind
  std::string terminal;  // empty: every ticked terminal
  bool deleteMissing = false;
  bool list = false;  // each record's change too
  std::string json;   // empty: no JSON written
};
int Plan(CliRun& run, const PlanOptions& options);

// `held`: what the held state says each terminal holds, or `--forget` it.
struct HeldOptions {
  std::string terminal;  // empty: every terminal
  std::string kind;      // empty: every kind
  bool forget = false;   // with `terminal`
};
int Held(CliRun& run, const HeldOptions& options);

int Read(CliRun& run, const std::string& file);

// `import`: a shop system's export made a download file through an import profile.
struct ImportOptions {
  std::string profile;  // a section of Import-Profiles.ini in the program folder
  std::string source;
  std::string out;       // empty: the profile kind's download file in the program folder
  bool skipBad = false;  // write the good lines, and the refused ones beside them
};
int Import(CliRun& run, const ImportOptions& options);

// `fleet-report`: the JSON summaries of many runs, of many shops, as one table.
struct FleetReportOptions {
  std::vector<std::string> summaries;  // files, and folders searched for *.json
  std::string csv;                     // empty: no CSV written
  std::string html;                    // empty: no page written
};
// 0 when every terminal ended well, 1 when any failed, differs or is not
// proven; ExitStatus 2 when a summary cannot be read or is not one.
int FleetReport(const FleetReportOptions& options);
