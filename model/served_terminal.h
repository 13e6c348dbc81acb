// The served terminal: the one terminal that connect, disconnect, download
// and upload reach outside a cycle. Its session is made when an order names
// another terminal and kept while orders name the same one; it says how the
// last operation ended. The address it holds follows a send cycle as the
// terminal the cycle serves now, for the window to show.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "model/terminal_result.h"
#include "session/terminal_session.h"

class ServedTerminal {
 public:
  const std::string& Address() const { return address_; }
  void Serve(std::string address) { address_ = std::move(address); }
  // The library's wait per connect attempt (milliseconds) and its attempts,
  // as texts checked at each connect.
  void SetConnectAttempts(std::string intervalMs, std::string retries);
  // The connection settings of `address` with the attempts above.
  SessionSettings SettingsFor(std::string address, std::string port, int answerTimeoutMs,
                              const CodePage& codePage) const;

  // The session of `settings`' terminal, which becomes the served one: the
  // one it has when it serves that terminal, set up anew, else a new one.
  TerminalSession& Open(const SessionServices& services, SessionReport& report,
                        const SessionSettings& settings);
  // A cycle starts: the served session goes, and no terminal is served.
  void Release();
  // The session as it stands; none before the first order or after Release.
  TerminalSession* Session() { return session_.get(); }
  const TerminalSession* Session() const { return session_.get(); }

  // What was last asked of it: an upload is a receive, anything else a send.
  void Asked(CycleKind kind) { asked_ = kind; }
  // How its last operation ended, or where it stands; none before the first.
  std::optional<TerminalResult> Result() const;

 private:
  std::string address_ = "192.167.0.101";
  std::string connectInterval_ = "5000";
  std::string connectRetry_ = "3";
  std::unique_ptr<TerminalSession> session_;
  CycleKind asked_ = CycleKind::Send;
};
