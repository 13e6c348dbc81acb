// A terminal session's pause, connect, disconnect and answer time-out, and
// the start of its download or upload.
#include "session/terminal_session.h"

#include <stdexcept>
#include <utility>

#include "records/records.h"
#include "session/dispatch.h"
#include "session/download.h"
#include "session/upload.h"
#include "session/upload_file.h"
#include "settings/folder_claim.h"
#include "text/str_to_int.h"
#include "text/terminal_port.h"

TerminalSession::TerminalSession(const SessionServices& services, SessionReport& report,
                                 SessionSettings settings)
    : services_(services), report_(report), settings_(std::move(settings)) {}

TerminalSession::~TerminalSession() {
  Leave();
  services_.loop.StopTimer(Slot(TimerKind::Pause));
  if (claimed_) ReleaseTerminal(services_.claims, Address());
}

void TerminalSession::Enter(SessionPhase phase) {
  phase_ = phase;
  if (phase == SessionPhase::Connecting) started_ = std::chrono::steady_clock::now();
  if (phase == SessionPhase::NotConnected || phase == SessionPhase::Disconnected) {
    seconds_ = std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
  }
  report_.StateChanged(*this);
}

TerminalState TerminalSession::Glance() const {
  TerminalState state;
  state.address = Address();
  state.phase = phase_;
  state.stored = transfer_.Stored;
  state.total = download_.Total();
  state.sent = transfer_.RecordIndex;
  state.deleted = transfer_.Deleted;
  state.failure = Failure();
  state.seconds = seconds_;
  return state;
}

std::string TerminalSession::Failure() const {
  if (phase_ == SessionPhase::NotConnected) {
    if (transfer_.End == TransferEnd::Stopped) return kStoppedReason;  // stopped in its connect
    if (inUse_) return "in use by another Orlent process";
    return connectFailure_.empty() ? "connect failed" : "connect failed: " + connectFailure_;
  }
  if (fileFailed_) return "file not written";
  switch (transfer_.End) {
    case TransferEnd::Complete:
      return transfer_.Stored == transfer_.RecordIndex ? "" : "send failed";
    case TransferEnd::Refused:
      return "refused: " + transfer_.Refusal;
    case TransferEnd::SendFailed:
      return "send failed";
    case TransferEnd::TimedOut:
      return "timed out";
    case TransferEnd::ClosedByTerminal:
      return "closed by terminal";
    case TransferEnd::NotForward:
      return "answers out of order";
    case TransferEnd::Stopped:
      return kStoppedReason;
    case TransferEnd::Running:
      break;
  }
  if (phase_ != SessionPhase::Disconnected) return "";
  // A download that ended without its last acknowledgment.
  if (downloaded_) {
    const bool nothingSent = transfer_.RecordIndex == 0 && transfer_.DeleteIndex == 0;
    return nothingSent ? "connected, nothing sent" : kStoppedReason;
  }
  // An upload disconnected before the terminal ended it (the operator's
  // Disconnect) holds only part of what the terminal has.
  if (writesLines_ && transfer_.EndOfRead == ReadEnd::None) return "disconnected before the end";
  return "";
}

void TerminalSession::Pause(int ms, std::function<void()> then) {
  Enter(SessionPhase::Pausing);
  services_.loop.ArmTimer(Slot(TimerKind::Pause), ms,
                          [this, then = std::move(then)] { services_.handle(then); });
}

void TerminalSession::SetupConnection() {
  const int retry = StrToInt(settings_.connectRetry);
  const int interval = StrToInt(settings_.connectInterval);
  // A port outside 1 to 65535 would be cut to another port by the library.
  const auto port = ParsePort(settings_.port);
  if (!port) throw std::runtime_error(BadPortMessage(settings_.port));
  Link().AddProcConnectionEx(1, Address().c_str(), *port, 100, 5010, interval, retry, 9,
                             RouteAnswer, RouteLoss, &services_.router);
  // From now on, also after a disconnect, until the session is left behind.
  services_.router.Route(
      Address(), this,
      [this](const RequestPacket& answer) {
        services_.handle([&] {
          DispatchAnswer(*this, answer);
          report_.StateChanged(*this);
        });
      },
      [this] { services_.handle([this] { ConnectionLost(); }); });
  routed_ = true;
}

void TerminalSession::Connect(std::function<void(bool)> connected) {
  SetupConnection();
  // Two Orlent processes of one folder never serve one terminal at once.
  if (!ClaimTerminal(services_.claims, Address())) {
    inUse_ = true;
    started_ = std::chrono::steady_clock::now();
    Log("");
    Log("- Terminal In Use " + Address());
    Log("- Fail Connect " + Address());
    Enter(SessionPhase::NotConnected);
    if (connected) connected(false);
    return;
  }
  claimed_ = true;
  Enter(SessionPhase::Connecting);
  // The library's Connect blocks until the terminal greets or its connect
  // time-out passes: the loop goes on meanwhile.
  struct Result {
    bool connected = false;
    std::string failure;  // read on the thread that called Connect
  };
  auto result = std::make_shared<Result>();
  services_.loop.RunOffLoop(
      [link = services_.link, address = Address(), result] {
        result->connected = link.Connect(address.c_str(), -1) != 0;
        if (!result->connected) result->failure = LastLinkFailure(link);
      },
      [this, alive = std::weak_ptr<int>(alive_), result, connected = std::move(connected)] {
        if (alive.expired()) return;
        services_.handle([&] { Connected(result->connected, result->failure, connected); });
      });
}

void TerminalSession::Connected(bool connected, const std::string& failure,
                                const std::function<void(bool)>& then) {
  linkOpen_ = connected;
  connectFailure_ = failure;
  if (!connected) {
    ReleaseTerminal(services_.claims, Address());
    claimed_ = false;
  }
  Log("");
  Log((connected ? "- Success Connect " : "- Fail Connect ") + Address());
  Enter(connected ? SessionPhase::Connected : SessionPhase::NotConnected);
  if (then) then(connected);
}

void TerminalSession::Download(const PreparedDownload& download) {
  transfer_ = TransferState{};
  transfer_.Direction = kDirectionWrite;
  download_ = download;
  downloaded_ = true;
  fileFailed_ = false;
  Enter(SessionPhase::Transferring);
  if (!download.Empty()) DownloadNext(*this, download.Code(), 0);
}

void TerminalSession::Upload(uint8_t code, const std::string& uploadPath) {
  BeginRead(code, true);
  if (!uploadPath.empty()) {
    uploadFile_.reset();
    try {
      uploadFile_ = UploadFile::Create(uploadPath);
    } catch (...) {
      fileFailed_ = true;
      throw;
    }
  }
  UploadNext(*this, code, 0);
}

void TerminalSession::Upload(uint8_t code, std::unique_ptr<UploadFile> file) {
  BeginRead(code, true);
  uploadFile_ = std::move(file);
  UploadNext(*this, code, 0);
}

void TerminalSession::Read(uint8_t code) {
  BeginRead(code, false);
  UploadNext(*this, code, 0);
}

void TerminalSession::BeginRead(uint8_t code, bool writesLines) {
  transfer_ = TransferState{};
  transfer_.Direction = kDirectionRead;
  downloaded_ = false;
  uploadCode_ = code;
  fileFailed_ = false;
  writesLines_ = writesLines;
  Enter(SessionPhase::Transferring);
}

void TerminalSession::Disconnect() {
  linkOpen_ = false;
  services_.loop.StopTimer(Slot(TimerKind::AnswerTimeout));
  if (Link().Disconnect(Address().c_str(), -1) != 0) {
    Log("- Success to Disconect " + Address());
  } else {
    Log("- Fail to Disconnect " + Address());
  }
  ReleaseTerminal(services_.claims, Address());
  claimed_ = false;
  // Closed first: whoever learns of the end may open the file at once.
  CloseUploadFile();
  Enter(SessionPhase::Disconnected);
  report_.Disconnected(*this);
}

void TerminalSession::Stop() {
  services_.loop.StopTimer(Slot(TimerKind::Pause));
  if (transfer_.End == TransferEnd::Running) transfer_.End = TransferEnd::Stopped;
  // The library's Connect gives up its attempts at once: its failed connect
  // then ends the session as any other does, instead of after the attempts.
  if (phase_ == SessionPhase::Connecting) Link().Disconnect(Address().c_str(), -1);
  if (phase_ == SessionPhase::Connected || phase_ == SessionPhase::Transferring) {
    // An answer still on its way sends nothing more.
    transfer_.Direction = 0;
    Disconnect();
  }
}

void TerminalSession::CloseUploadFile() {
  if (uploadFile_ && uploadFile_->Failed()) fileFailed_ = true;
  uploadFile_.reset();
}

void TerminalSession::Received(const void* record, std::size_t size) {
  ++transfer_.Stored;
  report_.RecordReceived(*this, uploadCode_,
                         std::span<const uint8_t>(static_cast<const uint8_t*>(record), size));
}

void TerminalSession::Leave() {
  // Whatever was awaited from this terminal no longer counts, and its late
  // answers are not taken for those of the next session of its address.
  services_.loop.StopTimer(Slot(TimerKind::AnswerTimeout));
  if (routed_) services_.router.Unroute(Address(), this);
  routed_ = false;
}

// A send cycle, or an upload, waits for answers.
bool TerminalSession::WaitsForAnswers() const {
  return settings_.inCycle || transfer_.Direction == kDirectionRead;
}

void TerminalSession::ArmAnswerTimeout() {
  if (!WaitsForAnswers()) return;
  // Each request replaces the pending shot, so the time counts from the
  // latest one, and the disconnect stops it. An answer does not stop it: one
  // that leads to neither a next request nor the end (a direction or kind
  // that no handler acts on) would otherwise leave the session waiting for ever.
  services_.loop.ArmTimer(Slot(TimerKind::AnswerTimeout), settings_.answerTimeoutMs,
                          [this] { services_.handle([this] { AnswerTimedOut(); }); });
}

void TerminalSession::LinkDown() {
  // A Send Data outside a cycle waits for nothing, so it keeps the
  // connection: the library's loss callback ends a connection truly lost.
  if (!linkOpen_ || !WaitsForAnswers()) return;
  // In place of the answer time-out that the request armed.
  services_.loop.ArmTimer(Slot(TimerKind::AnswerTimeout), 0,
                          [this] { services_.handle([this] { ConnectionLost(); }); });
}

// The terminal closed the connection, or it broke: nothing more can come, so
// the transfer ends at once and the session disconnects as at any end.
void TerminalSession::ConnectionLost() {
  if (!linkOpen_) return;
  if (transfer_.End == TransferEnd::Running) transfer_.End = TransferEnd::ClosedByTerminal;
  transfer_.Direction = 0;
  Disconnect();
}

void TerminalSession::AnswerTimedOut() {
  if (!WaitsForAnswers()) return;
  Log("- Time Out " + Address());
  // A link that is no longer connected was closed from the terminal's side.
  if (transfer_.End == TransferEnd::Running) {
    const bool connected = Link().IsConnect(Address().c_str(), -1) == 1;
    transfer_.End = connected ? TransferEnd::TimedOut : TransferEnd::ClosedByTerminal;
  }
  // The transfer is over: an answer that still comes in late must not send
  // the next record.
  transfer_.Direction = 0;
  Disconnect();
}
