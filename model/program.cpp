// The program, the event boundary, the program's answer router
// made the one the link library's callbacks reach, and the served terminal.
#include "model/program.h"

#include <exception>
#include <string>
#include <utility>

#include "session/dispatch.h"
#include "session/download.h"
#include "settings/settings_file.h"

Program::Program(EventLoop& loop, ProgramView& view, const LinkLibrary& link,
                 std::string executablePath)
    : Loop(loop),
      View(view),
      Link(link),
      Router(loop, IsDispatchedCode),
      ExecutablePath(std::move(executablePath)) {
  SetActiveRouter(&Router);
}

Program::~Program() {
  // Sessions go first: they unroute their addresses from the router.
  cycle_.reset();
  served_.reset();
  if (ActiveRouter() == &Router) SetActiveRouter(nullptr);
}

void Program::HandleEvent(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& failure) {
    View.ShowFailure(failure.what());
  }
  View.EventHandled();
}

SessionServices Program::Services() {
  return SessionServices{Loop, Link, Router, Settings.get(),
                         [this](const std::function<void()>& handler) { HandleEvent(handler); }};
}

SessionSettings Program::ServedSettings(const OrderOptions& options) const {
  return SessionSettings{servedAddress_,
                         terminals_.Port(),
                         connectInterval_,
                         connectRetry_,
                         Resolved(options, inForce_).answerTimeoutMs,
                         false,
                         Resolved(options, codePageInForce_)};
}

void Program::SetConnectAttempts(std::string intervalMs, std::string retries) {
  connectInterval_ = std::move(intervalMs);
  connectRetry_ = std::move(retries);
}

SessionSettings Program::SettingsFor(const std::string& address) {
  // The served terminal follows the cycle, as the terminal now served.
  servedAddress_ = address;
  return SessionSettings{
      address, terminals_.Port(), connectInterval_, connectRetry_, cycleOptions_.answerTimeoutMs,
      false,   cycleCodePage_};
}

TerminalSession* Program::Served() {
  if (CycleRunning() && cycle_->Current()) return cycle_->Current();
  return served_.get();
}

TerminalSession& Program::OpenServedSession(const TerminalOrder& order) {
  if (CycleRunning() && cycle_->Current()) return *cycle_->Current();
  servedAddress_ = order.address;
  if (!served_ || served_->Address() != servedAddress_) {
    served_.reset();
    served_ = std::make_unique<TerminalSession>(Services(), ServedReport(),
                                                ServedSettings(order.options));
  } else {
    // The operator may have changed the port since the last command.
    served_->Configure(ServedSettings(order.options));
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
  log_.Show(line, progress);
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

CycleKind Program::LastCycleKind() const {
  if (lastReceive_) return CycleKind::Receive;
  const bool verify = cycle_ && dynamic_cast<const VerifyJob*>(&cycle_->Job()) != nullptr;
  return verify ? CycleKind::Verify : CycleKind::Send;
}

std::vector<TerminalResult> Program::Results() const {
  const CycleKind kind = LastCycleKind();
  std::vector<TerminalResult> results;
  if (kind != CycleKind::Verify) {
    for (const TerminalState& state : CycleStates()) results.push_back(ResultOf(state, kind));
    return results;
  }
  // Verifications() holds the finished ones in list order: the rest have no verdict.
  const std::vector<TerminalVerification> verdicts = Verifications();
  std::size_t next = 0;
  for (const TerminalState& state : CycleStates()) {
    std::optional<TerminalVerification> verdict;
    if (next < verdicts.size() && verdicts[next].address == state.address) {
      verdict = verdicts[next++];
    }
    results.push_back(VerifiedResult(state, verdict));
  }
  return results;
}

std::optional<TerminalResult> Program::ServedResult() const {
  if (!served_) return std::nullopt;
  const TerminalState state = served_->Glance();
  return ResultOf(state, servedKind_);
}
