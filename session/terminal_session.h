// TerminalSession: one terminal's transfer, from the pause before its connect
// to its disconnect. It holds the terminal's address and connection settings,
// the transfer's direction and counters, its upload file, its pause and its
// answer time-out, and reports log lines, its phases and its end to whoever
// runs it.
// Answers of its address, and the loss of its connection, reach it through
// the answer router; the link library's blocking Connect runs off the loop
// thread.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <utility>

#include "link/answer_router.h"
#include "link/link_library.h"
#include "loop/event_loop.h"
#include "session/prepared_download.h"
#include "session/terminal_state.h"
#include "session/transfer_state.h"
#include "text/code_page.h"

class SettingsFile;
class UploadFile;
class TerminalSession;

// What a session needs from the program around it, shared by every session.
struct SessionServices {
  EventLoop& loop;
  const LinkLibrary& link;
  AnswerRouter& router;
  // The settings file whose folder lock keeps two processes off one terminal;
  // null: no claim is taken.
  SettingsFile* claims;
  // Runs one handler to its end, showing a failure that escapes it: every
  // timer and answer of a session runs through it.
  std::function<void(const std::function<void()>&)> handle;
};

// The connection settings of one terminal, as the operator typed them: they
// are checked when the session connects.
struct SessionSettings {
  std::string address;
  std::string port;
  std::string connectInterval;  // milliseconds the library waits per connect attempt
  std::string connectRetry;     // connect attempts
  int answerTimeoutMs = 10000;
  // In a cycle a download waits for answers only so long; outside one only
  // an upload does.
  bool inCycle = false;
  // The character set the terminal stores its texts in.
  CodePage codePage;
};

// What a session tells whoever runs it.
class SessionReport {
 public:
  virtual ~SessionReport() = default;
  virtual void Log(const std::string& line) = 0;
  // The running count of a PLU download: replaces the log's last line when
  // that is an earlier count, else appends.
  virtual void LogProgress(const std::string& line) = 0;
  // The line of one record an upload received ("…AddPlu"): a line of the
  // log like any other, kept out of the day's journal by those that keep one.
  virtual void LogRecordLine(const std::string& line) { Log(line); }
  // The session's state changed: its phase, or how far its transfer has come.
  virtual void StateChanged(const TerminalSession& session) = 0;
  // The session has disconnected (its disconnect line is logged).
  virtual void Disconnected(TerminalSession& session) = 0;
  // An upload received `record`, a record of data type `code` as the
  // terminal sent it, before its line is written.
  virtual void RecordReceived(const TerminalSession& /*session*/, uint8_t /*code*/,
                              std::span<const uint8_t> /*record*/) {}
  // A download's `record` (of data type `code`) was acknowledged as stored
  // under its own number.
  virtual void RecordStored(const TerminalSession& /*session*/, uint8_t /*code*/,
                            const DownloadRecord& /*record*/) {}
  // The terminal acknowledged the deletion of record `number` of data type `code`.
  virtual void RecordDeleted(const TerminalSession& /*session*/, uint8_t /*code*/,
                             int64_t /*number*/) {}
};

class TerminalSession {
 public:
  TerminalSession(const SessionServices& services, SessionReport& report, SessionSettings settings);
  ~TerminalSession();
  TerminalSession(const TerminalSession&) = delete;
  TerminalSession& operator=(const TerminalSession&) = delete;

  const std::string& Address() const { return settings_.address; }
  // New settings for the same address, in force from the next connect and request.
  void Configure(SessionSettings settings) { settings_ = std::move(settings); }
  const TransferState& Transfer() const { return transfer_; }

  // Waits `ms`, then runs `then` (a send cycle's pause before each connect).
  void Pause(int ms, std::function<void()> then);
  // Registers the connection, claims the terminal against other Orlent
  // processes and connects off the loop thread; `connected` gets the result
  // on the loop thread, after the connect line is logged. Throws, before
  // anything is registered, on a port, retry or interval that is not a number.
  void Connect(std::function<void(bool connected)> connected);
  bool Connecting() const { return phase_ == SessionPhase::Connecting; }
  // Connected, and neither disconnected since nor lost.
  bool LinkOpen() const { return linkOpen_; }
  SessionPhase Phase() const { return phase_; }
  // What a glance at the terminal shows now.
  TerminalState Glance() const;
  // Sends `download`'s records one at a time, each answer sending the next,
  // then deletes its Deletes() the same way; with nothing to send (no file),
  // does nothing.
  void Download(const PreparedDownload& download);
  // Opens `uploadPath` (none when empty) and asks for the first record of
  // `code`; each answer writes a line and asks for the next.
  void Upload(uint8_t code, const std::string& uploadPath);
  // As above, into `file`, made and opened by whoever runs the session.
  void Upload(uint8_t code, std::unique_ptr<UploadFile> file);
  // Asks for every record of `code` (the speedkey record too) for whoever
  // runs the session alone, from the lowest number a record of the kind can
  // have: each one reaches RecordReceived, and neither a file nor the log
  // gets a line per record. How the terminal ended it is in
  // Transfer().EndOfRead.
  void Read(uint8_t code);
  // An upload writes a line per record (a Read does not).
  bool WritesLines() const { return writesLines_; }
  // The data type code the running upload or Read asks for.
  uint8_t ReadCode() const { return uploadCode_; }
  void Disconnect();
  // The operator stops the session: a pause ends without a connect; a
  // transfer ends and the terminal is disconnected. A connect still waiting
  // for the terminal gives up and comes back failed; one that came through
  // first is disconnected by its caller once it returns.
  void Stop();
  // The session is left behind: its pending time-out is stopped and late
  // answers of its address are dropped.
  void Leave();

  // --- Used by the transfer steps (dispatch, download, upload) ---
  TransferState& State() { return transfer_; }
  const PreparedDownload& Prepared() const { return download_; }
  SessionReport& Report() { return report_; }
  const LinkLibrary& Link() const { return services_.link; }
  const CodePage& TerminalCodePage() const { return settings_.codePage; }
  UploadFile* OpenUploadFile() { return uploadFile_.get(); }
  void CloseUploadFile();
  // An upload's answer carried `record` under its own number (not the "95"
  // or 65535 answer that ends the read): it is counted and handed on to
  // whoever runs the session, before its line is written.
  void Received(const void* record, std::size_t size);
  void Log(const std::string& line) { report_.Log(line); }
  void LogRecordLine(const std::string& line) { report_.LogRecordLine(line); }
  // Every request arms the answer time-out anew.
  void ArmAnswerTimeout();
  // A request found the session's connection gone: the session ends as soon
  // as the caller has logged the request's failure, as when the library
  // reports the loss. Outside a connection (nothing was connected) it does
  // nothing.
  void LinkDown();

 private:
  void Enter(SessionPhase phase);
  void BeginRead(uint8_t code, bool writesLines);
  std::string Failure() const;
  void SetupConnection();
  void Connected(bool connected, const std::string& failure, const std::function<void(bool)>& then);
  void ConnectionLost();
  void AnswerTimedOut();
  bool WaitsForAnswers() const;
  TimerSlot Slot(TimerKind kind) const { return {this, kind}; }

  SessionServices services_;
  SessionReport& report_;
  SessionSettings settings_;
  TransferState transfer_;
  PreparedDownload download_;
  std::unique_ptr<UploadFile> uploadFile_;
  SessionPhase phase_ = SessionPhase::Idle;
  bool routed_ = false;
  bool claimed_ = false;                           // the terminal lock is held
  bool inUse_ = false;                             // another Orlent process serves the terminal
  bool linkOpen_ = false;                          // connected, and neither disconnected nor lost
  std::string connectFailure_;                     // the library's reason of a failed connect
  bool downloaded_ = false;                        // a download was started
  bool fileFailed_ = false;                        // the upload file could not be made or written
  bool writesLines_ = true;                        // an upload, not a Read
  uint8_t uploadCode_ = 0;                         // the data type code the upload asks for
  std::chrono::steady_clock::time_point started_;  // the connect began
  double seconds_ = 0;  // from the connect to the disconnect or the failed connect
  // Results that come back from another thread find out whether the session still exists.
  std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};
