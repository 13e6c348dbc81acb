// Connecting to and disconnecting from the terminal in ServedAddress, inside and
// outside a send cycle.
#include <stdexcept>
#include <string>

#include "app/tform1.h"
#include "link/answer_router.h"
#include "settings/folder_claim.h"
#include "text/str_to_int.h"
#include "text/terminal_port.h"
#include "transfer/dispatch.h"

void TForm1::SetupConnection() {
  const int retry = StrToInt(ConnectRetry.Text);
  const int interval = StrToInt(ConnectInterval.Text);
  // A port outside 1 to 65535 would be cut to another port by the library.
  const auto port = ParsePort(PortBox.Text);
  if (!port) throw std::runtime_error(BadPortMessage(PortBox.Text));
  Link.AddProcConnection(1, ServedAddress.Text.c_str(), *port, 100, 5010, interval, retry, 9,
                         DataCallback, SecondCallback);
  RouteTerminalAnswers();
}

void TForm1::RouteTerminalAnswers() {
  Router.Route(ServedAddress.Text, [this](const RequestPacket& answer) {
    HandleEvent([&] { DispatchAnswer(*this, answer); });
  });
}

void TForm1::Action1Execute() {
  try {
    SetupConnection();
  } catch (...) {
    // A port, retry or interval text that is not a number would otherwise
    // leave the cycle waiting at this terminal for ever, and "&Send Data"
    // refused from then on. End the cycle so the operator can correct the
    // text and start again; the failure itself is still shown.
    CycleMode.clear();
    throw;
  }
  // Two Orlent processes of one folder never serve one terminal at once.
  if (!ClaimTerminal(Settings.get(), ServedAddress.Text)) {
    AddLog("");
    AddLog("- Terminal In Use " + ServedAddress.Text);
    AddLog("- Fail Connect " + ServedAddress.Text);
    if (CycleMode == "SEND") NextTerminal();
    return;
  }
  const bool connected = Link.Connect(ServedAddress.Text.c_str(), -1) != 0;
  if (!connected) ReleaseTerminal(Settings.get(), ServedAddress.Text);
  AddLog("");
  if (connected) {
    AddLog("- Success Connect " + ServedAddress.Text);
    if (CycleMode == "SEND") DownloadButton.Click();
  } else {
    AddLog("- Fail Connect " + ServedAddress.Text);
    if (CycleMode == "SEND") NextTerminal();
  }
}

void TForm1::DisconnectTerminal() {
  Loop.StopTimer(TimerSlot::AnswerTimeout);
  if (Link.Disconnect(ServedAddress.Text.c_str(), -1) != 0) {
    AddLog("- Success to Disconect " + ServedAddress.Text);
  } else {
    AddLog("- Fail to Disconnect " + ServedAddress.Text);
  }
  ReleaseTerminal(Settings.get(), ServedAddress.Text);
  if (CycleMode == "SEND") NextTerminal();
  CloseUploadFile();
}

void TForm1::Action2Execute() {
  DisconnectTerminal();
}
