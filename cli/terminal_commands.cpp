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
  auto& list = run.program->TerminalList;
  if (number < 1 || number > static_cast<int>(list.Items.size())) {
    throw ExitStatus(2, "there is no terminal number " + std::to_string(number) +
                            " (the list has " + std::to_string(list.Items.size()) + ")");
  }
  list.ItemIndex = number - 1;
}

}  // namespace

int ListTerminals(CliRun& run) {
  const Program& program = *run.program;
  std::printf("Port %s\n", program.PortBox.Text.c_str());
  int number = 0;
  for (const auto& item : program.TerminalList.Items) {
    std::printf("%d %s %s\n", ++number, item.Checked ? "[x]" : "[ ]", item.Text.c_str());
  }
  return 0;
}

int AddTerminal(CliRun& run, const std::string& address) {
  run.program->AddressBox.Text = address;
  return Edit(run, [&] { run.program->AddTerminal(); });
}

int DeleteTerminal(CliRun& run, int number) {
  Select(run, number);
  return Edit(run, [&] { run.program->DeleteTerminal(); });
}

int ChangeTerminal(CliRun& run, int number, const std::string& address) {
  Select(run, number);
  run.program->AddressBox.Text = address;
  return Edit(run, [&] { run.program->ChangeTerminal(); });
}

int TickTerminal(CliRun& run, int number, bool ticked) {
  Select(run, number);
  run.program->TerminalList.Items[number - 1].Checked = ticked;
  return Edit(run, [&] { run.program->Close(); });
}

int SetPort(CliRun& run, const std::string& port) {
  if (!ParsePort(port)) throw ExitStatus(2, BadPortMessage(port));
  run.program->PortBox.Text = port;
  return Edit(run, [&] { run.program->Close(); });
}
