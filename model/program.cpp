// The program as laid out, the event boundary, the program's answer router
// made the one the link library's callbacks reach, and the served terminal.
#include "model/program.h"

#include <exception>
#include <initializer_list>
#include <string>
#include <utility>

#include "session/dispatch.h"
#include "session/download.h"
#include "settings/settings_file.h"

namespace {

void Hide(std::initializer_list<TControl*> controls) {
  for (auto* control : controls) control->Visible = false;
}

void LayOutDataKinds(DataKindButtons& kinds) {
  const std::pair<TRadioButton*, const char*> buttons[] = {
      {&kinds.Plu, "PLU"},
      {&kinds.Barcode, "Barcode"},
      {&kinds.Report, "Report"},
      {&kinds.PluReport, "PLU"},
      {&kinds.TimeReport, "Time"},
      {&kinds.GroupReport, "Group"},
      {&kinds.DeptReport, "Depart"},
      {&kinds.ScaleIdReport, "ScaleID"},
      {&kinds.ClerkReport, "Clerk"},
      {&kinds.TaxRateReport, "TaxRate"},
      {&kinds.Ingredient, "Ingredient"},
      {&kinds.ScrollMsg, "ScrollMsg"},
      {&kinds.Speedkey, "Speedkey"},
  };
  const char* const names[] = {"PluKind",     "BarcodeKind",   "ReportKind",     "PluReport",
                               "TimeReport",  "GroupReport",   "DeptReport",     "ScaleIdReport",
                               "ClerkReport", "TaxRateReport", "IngredientKind", "ScrollMsgKind",
                               "SpeedkeyKind"};
  for (std::size_t i = 0; i < std::size(buttons); ++i) {
    auto& [button, caption] = buttons[i];
    button->Name = names[i];
    button->Caption = caption;
    // The data kind buttons and the report type group box are laid out hidden.
    button->Visible = false;
  }
  kinds.Plu.Checked = true;
}

}  // namespace

Program::Program(EventLoop& loop, ProgramView& view, const LinkLibrary& link,
                 std::string executablePath)
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

  // As laid out; Start replaces the list with the settings file's.
  ServedAddress.Text = "192.167.0.101";
  ConnectInterval.Text = "5000";
  ConnectRetry.Text = "3";
  SendFileBox.Enabled = false;
  TerminalList.Items = {{"192.167.0.101", true}, {"192.167.0.102", false}};
  LayOutDataKinds(Kinds);
  Hide({&ServedAddress, &ConnectInterval, &ConnectRetry, &UploadFileBox});
}

Program::~Program() {
  // Sessions go first: they unroute their addresses from the router.
  cycle_.reset();
  served_.reset();
}

void Program::HandleEvent(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& failure) {
    View.ShowFailure(failure.what());
  }
  View.ControlsChanged();
}

SessionServices Program::Services() {
  return SessionServices{Loop, Link, Router, Settings.get(),
                         [this](const std::function<void()>& handler) { HandleEvent(handler); }};
}

SessionSettings Program::ServedSettings() const {
  return SessionSettings{ServedAddress.Text, PortBox.Text, ConnectInterval.Text, ConnectRetry.Text,
                         AnswerTimeoutMs,    false,        TerminalCodePage};
}

SessionSettings Program::SettingsFor(const std::string& address) {
  // The hidden served-address box follows the cycle, as the terminal now served.
  ServedAddress.Text = address;
  return ServedSettings();
}

TerminalSession& Program::ServedSession() {
  if (CycleRunning() && cycle_->Current()) return *cycle_->Current();
  if (!served_ || served_->Address() != ServedAddress.Text) {
    served_.reset();
    served_ = std::make_unique<TerminalSession>(Services(), ServedReport(), ServedSettings());
  } else {
    // The operator may have changed the port since the last command.
    served_->Configure(ServedSettings());
  }
  return *served_;
}

const TransferState& Program::ServedTransfer() const {
  static const TransferState none;
  if (cycle_ && cycle_->Current()) return cycle_->Current()->Transfer();
  return served_ ? served_->Transfer() : none;
}

// The served session is the only one that reports to the program itself.
void Program::Log(const std::string& line) {
  Show(line, false);
  Journal(served_ ? served_->Address() : "", line, false);
}

void Program::LogProgress(const std::string& line) {
  Show(line, true);
  Journal(served_ ? served_->Address() : "", line, true);
}

void Program::Show(const std::string& line, bool progress) {
  // A PLU download keeps one progress line that counts up instead of a line
  // per record.
  const auto& lines = ActivityLog.Items;
  if (progress && !lines.empty() && IsProgressLine(lines.back())) {
    ReplaceLogLine(line, static_cast<int>(lines.size()) - 1);
  } else {
    AddLog(line);
  }
}

void Program::Journal(const std::string& terminal, const std::string& line, bool progress) {
  if (!journal_) return;
  // The journal gets a running count in its last form only.
  progress ? journal_->Hold(line, terminal) : journal_->Write(line, terminal);
  ReportJournalFailure();
}

void Program::ReportJournalFailure() {
  if (const auto failure = journal_->TakeFailure()) AddLog("- Journal not written: " + *failure);
}

void Program::StateChanged(const TerminalSession& session) {
  View.TerminalStateChanged(session.Glance());
}

void Program::TerminalStateChanged(const TerminalState& state) {
  View.TerminalStateChanged(state);
}

std::vector<TerminalState> Program::CycleStates() const {
  return cycle_ ? cycle_->States() : std::vector<TerminalState>{};
}
