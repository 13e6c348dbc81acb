// The `terminals` commands: the terminal list edited as with the window's
// buttons, and ticks and port saved as the window's close saves them.
#include <cstdio>

#include "cli/commands.h"
#include "model/program.h"
#include "text/terminal_port.h"

namespace {

// Runs an editing handler; an error box or a failure stops the command.
int Edit(CliRun& run, const std::function<void()>& handler) {
  const std::size_t before = run.view.Errors().size();
  run.Handle(handler);
  return run.view.Errors().size() == before ? 0 : 2;
}

void Select(CliRun& run, int number) {
  TerminalList& list = run.program->Terminals();
  const std::size_t entries = list.Entries().size();
  if (number < 1 || number > static_cast<int>(entries)) {
    throw ExitStatus(2, "there is no terminal number " + std::to_string(number) +
                            " (the list has " + std::to_string(entries) + ")");
  }
  list.Select(number - 1);
}

}  // namespace

int ListTerminals(CliRun& run) {
  const Program& program = *run.program;
  std::printf("Port %s\n", program.Terminals().Port().c_str());
  int number = 0;
  for (const auto& entry : program.Terminals().Entries()) {
    std::printf("%d %s %s\n", ++number, entry.ticked ? "[x]" : "[ ]", entry.address.c_str());
  }
  return 0;
}

int AddTerminal(CliRun& run, const std::string& address) {
  return Edit(run, [&] { run.program->AddTerminal(address); });
}

int DeleteTerminal(CliRun& run, int number) {
  Select(run, number);
  return Edit(run, [&] { run.program->DeleteTerminal(); });
}

int ChangeTerminal(CliRun& run, int number, const std::string& address) {
  Select(run, number);
  return Edit(run, [&] { run.program->ChangeTerminal(address); });
}

int TickTerminal(CliRun& run, int number, bool ticked) {
  Select(run, number);
  run.program->Terminals().Tick(number - 1, ticked);
  return Edit(run, [&] { run.program->Close(); });
}

int SetPort(CliRun& run, const std::string& port) {
  if (!ParsePort(port)) throw ExitStatus(2, BadPortMessage(port));
  run.program->Terminals().SetPort(port);
  return Edit(run, [&] { run.program->Close(); });
}
