// The commands that reach terminals: "&Send Data" (a send cycle), a send
// cycle over the terminals that failed in the last one, and
// connect, disconnect, download and upload of the served terminal.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "cycle/download_job.h"
#include "model/program.h"
#include "records/download_files.h"
#include "session/upload_file.h"
#include "text/terminal_port.h"

void Program::SendToTickedTerminals() {
  StartCycle(terminals_.Ticked());
}

void Program::SendToFailedTerminals() {
  // The list as it stands, with only the entries that failed in the last
  // cycle ticked; an entry edited since then is not the terminal that failed.
  std::vector<CycleEntry> entries = terminals_.Only(-1);
  for (const TerminalState& state : CycleStates()) {
    const auto entry = static_cast<std::size_t>(state.entry);
    if (state.Failed() && entry < entries.size() && entries[entry].address == state.address) {
      entries[entry].ticked = true;
    }
  }
  // After a receive, the failed terminals are read again in the same way.
  if (lastReceive_) return StartReceive(std::move(entries), *lastReceive_);
  StartCycle(std::move(entries));
}

void Program::StartCycle(std::vector<CycleEntry> entries) {
  if (RefusedWhileRunning()) return;
  if (!AnyTicked(entries)) {
    View.ShowError("No Terminal To Send !");
    return;
  }
  // A bad port or a bad file stops the cycle before any terminal is
  // contacted, and leaves nothing of it started.
  const auto prepared = PrepareDownload();
  if (!prepared) return;
  cycleRecords_ = prepared->Total();
  lastReceive_.reset();
  RunCycle(std::move(entries), std::make_unique<DownloadJob>(std::move(*prepared)));
}

bool Program::RefusedWhileRunning() {
  // One cycle at a time: a second one would fight the running one over the
  // terminals and the log.
  if (!CycleRunning()) return false;
  View.ShowError(Receiving()   ? "Receive Is Running !"
                 : Verifying() ? "Verify Is Running !"
                               : "Send Data Is Running !");
  return true;
}

void Program::RunCycle(std::vector<CycleEntry> entries, std::unique_ptr<CycleJob> job) {
  served_.reset();
  servedAddress_.clear();
  cycle_ = std::make_unique<TransferCycle>(Services(), Host(), std::move(entries), std::move(job),
                                           CycleSettings{PauseMs, Parallel});
  cycle_->Start();
}

void Program::StopCycle() {
  if (cycle_) cycle_->Stop();
}

void Program::AbandonCycle() {
  if (cycle_) cycle_->Abandon();
}

std::optional<PreparedDownload> Program::PrepareDownload() {
  if (!ParsePort(terminals_.Port())) {
    View.ShowError(BadPortMessage(terminals_.Port()));
    return std::nullopt;
  }
  const uint8_t code = kind_.DownloadCode();
  if (code == 0) return PreparedDownload{};
  const std::string path = DownloadFilePath();
  DownloadFileRead read;
  const PreparedDownload prepared = ::PrepareDownload(code, path, TerminalCodePage, read);
  if (read.error) {
    View.ShowError(read.error->Describe(path));
    return std::nullopt;
  }
  return prepared;
}

void Program::Connect() {
  ServedSession().Connect(nullptr);
}

bool Program::ConnectPending() const {
  if (CycleRunning() && cycle_->Current()) return cycle_->Current()->Connecting();
  return served_ && served_->Connecting();
}

void Program::Disconnect() {
  ServedSession().Disconnect();
}

void Program::Download() {
  // The running cycle's terminal is already being sent to.
  if (RefusedWhileRunning()) return;
  // Checked first, as a cycle checks its file once at its start.
  const auto prepared = PrepareDownload();
  if (!prepared) return;
  servedKind_ = CycleKind::Send;
  TerminalSession& session = ServedSession();
  const bool connected = session.LinkOpen();
  session.Download(*prepared);
  // The log has only the failure line: the operator learns why elsewhere.
  if (!connected && prepared->Total() > 0) {
    View.StatusMessage("Nothing sent to " + session.Address() + ": it is not connected");
  }
}

void Program::Upload() {
  TerminalSession& session = ServedSession();
  // Made in the current directory; a full path is taken as it stands.
  const std::string path = uploadFile_.empty()
                               ? std::string()
                               : (std::filesystem::current_path() / uploadFile_).string();
  servedKind_ = CycleKind::Receive;
  session.Upload(kind_.UploadCode(), path);
}

void Program::Upload(std::unique_ptr<UploadFile> file) {
  TerminalSession& session = ServedSession();
  servedKind_ = CycleKind::Receive;
  session.Upload(kind_.UploadCode(), std::move(file));
}
