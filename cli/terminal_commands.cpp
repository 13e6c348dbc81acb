// The `terminals` commands: the terminal list edited as with the window's
// buttons, and ticks and port saved as the window's close saves them.
#include <cstdio>

#include "model/program.h"
#include "cli/commands.h"
#include "text/terminal_port.h"

namespace {

// Runs an editing handler; an error box or a failure stops the command.
int Edit(Session& session, const std::function<void()>& handler) {
  const std::size_t before = session.view.Errors().size();
  session.Handle(handler);
  return session.view.Errors().size() == before ? 0 : 2;
}

void Select(Session& session, int number) {
  auto& list = session.program->TerminalList;
  if (number < 1 || number > static_cast<int>(list.Items.size())) {
    throw ExitStatus(2, "there is no terminal number " + std::to_string(number) +
                            " (the list has " + std::to_string(list.Items.size()) + ")");
  }
  list.ItemIndex = number - 1;
}

}  // namespace

int ListTerminals(Session& session) {
  const Program& program = *session.program;
  std::printf("Port %s\n", program.PortBox.Text.c_str());
  int number = 0;
  for (const auto& item : program.TerminalList.Items) {
    std::printf("%d %s %s\n", ++number, item.Checked ? "[x]" : "[ ]", item.Text.c_str());
  }
  return 0;
}

int AddTerminal(Session& session, const std::string& address) {
  session.program->AddressBox.Text = address;
  return Edit(session, [&] { session.program->AddTerminal(); });
}

int DeleteTerminal(Session& session, int number) {
  Select(session, number);
  return Edit(session, [&] { session.program->DeleteTerminal(); });
}

int ChangeTerminal(Session& session, int number, const std::string& address) {
  Select(session, number);
  session.program->AddressBox.Text = address;
  return Edit(session, [&] { session.program->ChangeTerminal(); });
}

int TickTerminal(Session& session, int number, bool ticked) {
  Select(session, number);
  session.program->TerminalList.Items[number - 1].Checked = ticked;
  return Edit(session, [&] { session.program->Close(); });
}

int SetPort(Session& session, const std::string& port) {
  if (!ParsePort(port)) throw ExitStatus(2, BadPortMessage(port));
  session.program->PortBox.Text = port;
  return Edit(session, [&] { session.program->Close(); });
}
