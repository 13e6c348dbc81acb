// The main window as laid out (its form resource), the event boundary, and the
// window's answer router made the one the link library's callbacks reach.
#include "app/tform1.h"

#include <exception>
#include <initializer_list>
#include <iterator>
#include <string>
#include <utility>

#include "link/upload_file.h"
#include "settings/settings_file.h"
#include "transfer/dispatch.h"

namespace {

void Hide(std::initializer_list<TControl*> controls) {
  for (auto* control : controls) control->Visible = false;
}

}  // namespace

TForm1::TForm1(EventLoop& loop, FormView& view, const LinkLibrary& link, std::string executablePath)
    : Loop(loop),
      View(view),
      Link(link),
      Router(loop, IsDispatchedCode),
      ExecutablePath(std::move(executablePath)) {
  ServedAddress.Name = "ServedAddress";
  PortBox.Name = "PortBox";
  ConnectInterval.Name = "ConnectInterval";
  ConnectRetry.Name = "ConnectRetry";
  SendFileBox.Name = "SendFileBox";
  UploadFileBox.Name = "UploadFileBox";
  AddressBox.Name = "AddressBox";
  TerminalList.Name = "TerminalList";
  ActivityLog.Name = "ActivityLog";
  ConnectButton.Name = "ConnectButton";
  DisconnectButton.Name = "DisconnectButton";
  DownloadButton.Name = "DownloadButton";

  // Design texts; FormCreate empties the placeholders before anyone sees them.
  ServedAddress.Text = "192.167.0.101";
  PortBox.Text = "Edit2";
  ConnectInterval.Text = "5000";
  ConnectRetry.Text = "3";
  AddressBox.Text = "Edit7";
  SendFileBox.Enabled = false;
  TerminalList.Items = {{"192.167.0.101", true}, {"192.167.0.102", false}};
  ActivityLog.Items = {"ListBox1"};

  ConnectButton.Caption = "&Connect";
  DisconnectButton.Caption = "&Disconnect";
  DownloadButton.Caption = "D&ownload";
  ConnectButton.OnClick = [this] { Action1Execute(); };
  DisconnectButton.OnClick = [this] { Action2Execute(); };
  DownloadButton.OnClick = [this] { Action4Execute(); };

  const std::pair<TRadioButton*, const char*> radioButtons[] = {
      {&RadioButton1, "PLU"},      {&RadioButton2, "Barcode"},     {&RadioButton3, "Report"},
      {&RadioButton4, "PLU"},      {&RadioButton5, "Time"},        {&RadioButton6, "Group"},
      {&RadioButton7, "Depart"},   {&RadioButton8, "ScaleID"},     {&RadioButton9, "Clerk"},
      {&RadioButton10, "TaxRate"}, {&RadioButton11, "Ingredient"}, {&RadioButton12, "ScrollMsg"},
      {&RadioButton13, "Speedkey"}};
  for (std::size_t i = 0; i < std::size(radioButtons); ++i) {
    auto& [button, caption] = radioButtons[i];
    button->Name = "RadioButton" + std::to_string(i + 1);
    button->Caption = caption;
    // The data-type buttons and the report-type group box holding 4 to 10
    // are laid out hidden.
    button->Visible = false;
  }
  RadioButton1.Checked = true;

  Hide({&ServedAddress, &ConnectInterval, &ConnectRetry, &UploadFileBox, &ConnectButton,
        &DisconnectButton, &DownloadButton});
  PauseTimer.Interval = 3000;
  PauseTimer.Enabled = false;
  SetActiveRouter(&Router);
}

TForm1::~TForm1() {
  if (ActiveRouter() == &Router) SetActiveRouter(nullptr);
}

void TForm1::HandleEvent(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& failure) {
    View.ShowFailure(failure.what());
  }
  View.ControlsChanged();
}
