#include "model/served_terminal.h"

#include <utility>

void ServedTerminal::SetConnectAttempts(std::string intervalMs, std::string retries) {
  connectInterval_ = std::move(intervalMs);
  connectRetry_ = std::move(retries);
}

SessionSettings ServedTerminal::SettingsFor(std::string address, std::string port,
                                            int answerTimeoutMs, const CodePage& codePage) const {
  return SessionSettings{std::move(address), std::move(port), connectInterval_, connectRetry_,
                         answerTimeoutMs,    false,           codePage};
}

TerminalSession& ServedTerminal::Open(const SessionServices& services, SessionReport& report,
                                      const SessionSettings& settings) {
  address_ = settings.address;
  if (!session_ || session_->Address() != address_) {
    session_.reset();
    session_ = std::make_unique<TerminalSession>(services, report, settings);
  } else {
    // The operator may have changed the port since the last order.
    session_->Configure(settings);
  }
  return *session_;
}

void ServedTerminal::Release() {
  session_.reset();
  address_.clear();
}

std::optional<TerminalResult> ServedTerminal::Result() const {
  if (!session_) return std::nullopt;
  return ResultOf(session_->Glance(), asked_);
}
