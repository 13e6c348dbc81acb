// The program, the event boundary, and what the served session and the
// cycles report: the log, the journal and each terminal's state.
#include "model/program.h"

#include <exception>
#include <string>
#include <utility>

#include "process/executable_path.h"
#include "session/dispatch.h"
#include "session/download.h"
#include "settings/settings_file.h"

Program::Program(EventLoop& loop, ProgramView& view, const LinkLibrary& link,
                 std::string executablePath)
    : loop_(loop),
      view_(view),
      link_(link),
      router_(loop, IsDispatchedCode),
      executablePath_(std::move(executablePath)),
      programFolder_(ProgramFolderOf(executablePath_)),
      held_(HeldStorePathOf(programFolder_)) {}

Program::~Program() = default;

void Program::HandleEvent(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& failure) {
    view_.ShowFailure(failure.what());
  }
  view_.EventHandled();
}

void Program::UseSettingsFile(std::unique_ptr<SettingsFile> file) {
  kept_.Open(std::move(file));
}

SessionServices Program::Services() {
  return SessionServices{loop_, link_, router_, kept_.File(),
                         [this](const std::function<void()>& handler) { HandleEvent(handler); }};
}

void Program::SetConnectAttempts(std::string intervalMs, std::string retries) {
  served_.SetConnectAttempts(std::move(intervalMs), std::move(retries));
}

SessionSettings Program::SettingsFor(const std::string& address) {
  // The served terminal follows the cycle, as the terminal now served.
  served_.Serve(address);
  return served_.SettingsFor(address, kept_.List().Port(), cycles_.Options().answerTimeoutMs,
                             cycles_.Characters());
}

TerminalSession* Program::Served() {
  if (CycleRunning() && cycles_.Current()) return cycles_.Current();
  return served_.Session();
}

TerminalSession& Program::OpenServedSession(const TerminalOrder& order) {
  if (CycleRunning() && cycles_.Current()) return *cycles_.Current();
  return served_.Open(Services(), *this,
                      served_.SettingsFor(order.address, kept_.List().Port(),
                                          Resolved(order.options, inForce_).answerTimeoutMs,
                                          Resolved(order.options, codePageInForce_)));
}

const TransferState& Program::ServedTransfer() const {
  static const TransferState none;
  if (cycles_.Current()) return cycles_.Current()->Transfer();
  return served_.Session() ? served_.Session()->Transfer() : none;
}

bool Program::ConnectPending() const {
  if (CycleRunning() && cycles_.Current()) return cycles_.Current()->Connecting();
  return served_.Session() && served_.Session()->Connecting();
}

// The served session is the only one that reports to the program itself.
void Program::Log(const std::string& line) {
  Show(line, false);
  Journal(served_.Session() ? served_.Session()->Address() : "", line, false);
}

void Program::LogProgress(const std::string& line) {
  Show(line, true);
  Journal(served_.Session() ? served_.Session()->Address() : "", line, true);
}

void Program::LogRecordLine(const std::string& line) {
  Show(line, false);
}

void Program::Show(const std::string& line, bool progress) {
  log_.Show(line, progress);
}

void Program::Journal(const std::string& terminal, const std::string& line, bool progress) {
  if (!journal_) return;
  // The journal gets a running count in its last form only.
  progress ? journal_->Hold(line, terminal) : journal_->Write(line, terminal);
  // A terminal's block of a run begins with the run's first line too, so that
  // its own lines say what ran and with which file, also where another
  // process's lines come in between.
  if (run_ && !terminal.empty() && line.empty()) journal_->Write(runLine_, terminal);
  ReportJournalFailure();
}

void Program::ReportJournalFailure() {
  if (const auto failure = journal_->TakeFailure()) AddLog("- Journal not written: " + *failure);
}

void Program::StateChanged(const TerminalSession& session) {
  // The served terminal's download is over: what it acknowledged is kept now.
  if (servedBatch_ && session.Transfer().End != TransferEnd::Running) CommitServed();
  view_.TerminalStateChanged(session.Glance());
}

void Program::TerminalStateChanged(const TerminalState& state) {
  view_.TerminalStateChanged(state);
}
