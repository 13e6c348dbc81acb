#include "cli/cli_run.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "model/program_folder.h"
#include "process/executable_path.h"

namespace {

LinkLibrary Bind(const RunOptions& options) {
  std::string error;
  auto link = BindProgramLinkLibrary(options.linkLibrary, error);
  if (!link) throw ExitStatus(2, error);
  return *link;
}

// The program folder is derived from the executable's path (or is the per-user
// folder when that one cannot be written); with --folder the program runs as if
// it were installed there.
std::string ExecutableIn(const RunOptions& options) {
  if (options.folder.empty())
    return WorkingFolder(ProgramFolderOf(RunningExecutablePath())) + "/orlent-cli";
  return (std::filesystem::absolute(options.folder) / "orlent-cli").lexically_normal().string();
}

// Says each value of the settings file that cannot be taken, once per run:
// the settings file keeps it, so the next run says it again. A character set
// that cannot be taken would change what reaches the terminals, so it ends
// a command that converts texts; a --code-page puts one in its place.
void TellSetAsideSettings(Program& program, ConsoleView& view, const RunOptions& options,
                          const std::optional<CodePage>& codePage) {
  for (SetAsideSetting setAside : program.SetAsideSettings()) {
    if (const auto given = options.givenSettings.find(setAside.key);
        given != options.givenSettings.end()) {
      setAside.used = given->second;
    } else if (setAside.key == kCodePageKey && codePage) {
      setAside.used = codePage->Name();
    } else if (setAside.key == kCodePageKey && options.convertsTexts) {
      throw ExitStatus(2, setAside.Fault() +
                              ": correct it, or name one with --code-page; nothing is done "
                              "with another set");
    }
    view.ShowError(setAside.Message());
  }
}

// Who started the run, as each run's first line in the journal names it:
// --started-by, else the environment's ORLENT_STARTED_BY (a timer's unit, a
// playbook), else the command line.
std::string StartedBy(const RunOptions& options) {
  if (!options.startedBy.empty()) return options.startedBy;
  const char* environment = std::getenv("ORLENT_STARTED_BY");
  return environment && *environment ? environment : "command line";
}

}  // namespace

CliRun::CliRun(const RunOptions& options)
    : view(options.printLog ? stdout : nullptr, stderr, options.printLog && isatty(1)),
      link(Bind(options)),
      program(std::make_unique<Program>(loop, view, link, ExecutableIn(options))) {
  program->Held().Use(options.useHeld);
  // A program folder held by a window, or a settings file that cannot be
  // read, ends the command before it does anything.
  try {
    program->Start(StartUp{options.role, true, StartedBy(options)});
  } catch (const std::exception& failure) {
    throw ExitStatus(2, failure.what());
  }
  if (!options.codePage.empty()) {
    codePage = CodePage::Named(options.codePage);
    if (!codePage) throw ExitStatus(2, UnknownCodePageMessage(options.codePage));
  }
  TellSetAsideSettings(*program, view, options, codePage);
}

CliRun::~CliRun() = default;
