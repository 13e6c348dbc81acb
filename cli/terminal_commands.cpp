// The `terminals` commands: the terminal list edited as with the window's
// buttons, and ticks and port saved as the window's close saves them.
#include <cstdio>

#include "app/tform1.h"
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
  auto& list = session.form->TerminalList;
  if (number < 1 || number > static_cast<int>(list.Items.size())) {
    throw ExitStatus(2, "there is no terminal number " + std::to_string(number) +
                            " (the list has " + std::to_string(list.Items.size()) + ")");
  }
  list.ItemIndex = number - 1;
}

}  // namespace

int ListTerminals(Session& session) {
  const TForm1& form = *session.form;
  std::printf("Port %s\n", form.PortBox.Text.c_str());
  int number = 0;
  for (const auto& item : form.TerminalList.Items) {
    std::printf("%d %s %s\n", ++number, item.Checked ? "[x]" : "[ ]", item.Text.c_str());
  }
  return 0;
}

int AddTerminal(Session& session, const std::string& address) {
  session.form->AddressBox.Text = address;
  return Edit(session, [&] { session.form->BBtnAddClick(); });
}

int DeleteTerminal(Session& session, int number) {
  Select(session, number);
  return Edit(session, [&] { session.form->BBtnDeleteClick(); });
}

int ChangeTerminal(Session& session, int number, const std::string& address) {
  Select(session, number);
  session.form->AddressBox.Text = address;
  return Edit(session, [&] { session.form->BBtnEditClick(); });
}

int TickTerminal(Session& session, int number, bool ticked) {
  Select(session, number);
  session.form->TerminalList.Items[number - 1].Checked = ticked;
  return Edit(session, [&] { session.form->FormClose(); });
}

int SetPort(Session& session, const std::string& port) {
  if (!ParsePort(port)) throw ExitStatus(2, BadPortMessage(port));
  session.form->PortBox.Text = port;
  return Edit(session, [&] { session.form->FormClose(); });
}
