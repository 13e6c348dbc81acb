// SendCycle: "&Send Data" over the terminal list. It walks the entries in list
// order and runs one terminal session per ticked entry, one after another:
// the pause, the connect, the download of the records prepared at the
// cycle's start, the disconnect. The log reads as one block per entry, then
// "* End *".
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "session/prepared_download.h"
#include "session/terminal_session.h"

struct CycleEntry {
  std::string address;
  bool ticked = false;
};

// What a send cycle needs from the program around it.
class CycleHost : public SessionReport {
 public:
  // The connection settings of the entry the cycle turns to now.
  virtual SessionSettings SettingsFor(const std::string& address) = 0;
};

class SendCycle : private SessionReport {
 public:
  SendCycle(const SessionServices& services, CycleHost& host, std::vector<CycleEntry> entries,
            PreparedDownload download, int pauseMs);
  SendCycle(const SendCycle&) = delete;
  SendCycle& operator=(const SendCycle&) = delete;

  void Start();
  bool Running() const { return running_; }
  // The cycle turns to no further terminal.
  void Abandon() { running_ = false; }
  // The session of the terminal now served, or of the last one served; null
  // before the first.
  TerminalSession* Current() { return current_.get(); }
  const TerminalSession* Current() const { return current_.get(); }

 private:
  SessionReport& Report() { return *this; }
  void Next();
  void ConnectCurrent();
  void Connected(bool connected);

  // SessionReport, for the cycle's sessions
  void Log(const std::string& line) override { host_.Log(line); }
  void LogProgress(const std::string& line) override { host_.LogProgress(line); }
  void PhaseChanged(const TerminalSession& session) override { host_.PhaseChanged(session); }
  void Disconnected(TerminalSession& session) override;

  SessionServices services_;
  CycleHost& host_;
  std::vector<CycleEntry> entries_;
  PreparedDownload download_;
  int pauseMs_;
  std::size_t next_ = 0;  // the entry after the one now served
  bool running_ = false;
  std::unique_ptr<TerminalSession> current_;
  // The session left behind last: it may still be returning from the call
  // that ended it.
  std::unique_ptr<TerminalSession> retired_;
};
