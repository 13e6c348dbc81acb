// One run of the command-line front end: the bound link library, the event
// loop, the console view and the started program.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "cli/asio_loop.h"
#include "console/console_view.h"
#include "model/program.h"

// Ends a command with an exit status: 1 a transfer failed, 2 bad arguments,
// a missing library, or an error box that stopped the command.
struct ExitStatus : std::runtime_error {
  ExitStatus(int status, const std::string& message)
      : std::runtime_error(message), status(status) {}
  int status;
};

struct RunOptions {
  std::string folder;       // program folder; empty: the executable's folder
  std::string linkLibrary;  // empty: libtermlink.so in the executable's folder
  bool printLog = true;     // the command's standard output is the activity log
  // Editor for the commands that edit the list.
  FolderRole role = FolderRole::Reader;
  // The terminals' character set for this run only; empty: the settings file's.
  std::string codePage;
  // The command turns texts through the terminals' character set (what it
  // sends, compares, lists or writes would change with it): a
  // TerminalCodePage that cannot be taken refuses it, unless codePage names one.
  bool convertsTexts = false;
  // The settings-file keys this run takes from the command line instead, each
  // with the value in force as the file would hold it ("TerminalParallel": "3").
  std::map<std::string, std::string> givenSettings;
  // Off: the held state (Orlent.db) is neither read nor kept by this run.
  bool useHeld = true;
  // Who started the run (--started-by); empty: ORLENT_STARTED_BY, else
  // "command line".
  std::string startedBy;
};

class CliRun {
 public:
  // Binds the link library and starts the program. Each value of the
  // settings file that cannot be taken is said on standard error; one of
  // TerminalCodePage ends a command that converts texts with exit status 2.
  explicit CliRun(const RunOptions& options);
  ~CliRun();

  // Runs one handler through the program's event boundary.
  void Handle(const std::function<void()>& handler) { program->HandleEvent(handler); }

  AsioLoop loop;
  ConsoleView view;
  LinkLibrary link;
  std::unique_ptr<Program> program;
  // The terminals' character set --code-page names for this run; none: the
  // settings file's. Every order of the run carries it.
  std::optional<CodePage> codePage;
};
