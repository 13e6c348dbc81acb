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

void Program::Send(const SendOrder& order) {
  StartCycle(order);
}

void Program::SendToFailedTerminals(const SendOrder& order) {
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
  SendOrder again = order;
  again.entries = std::move(entries);
  StartCycle(again);
}

void Program::StartCycle(const SendOrder& order) {
  if (RefusedWhileRunning()) return;
  if (Refused(order.entries, order.options, "No Terminal To Send !")) return;
  // A bad port or a bad file stops the cycle before any terminal is
  // contacted, and leaves nothing of it started.
  const auto prepared =
      PrepareDownload(order.kind, order.file, Resolved(order.options, codePageInForce_));
  if (!prepared) return;
  cycleRecords_ = prepared->total;
  lastReceive_.reset();
  RunCycle(order.entries, order.options, std::make_unique<DownloadJob>(*prepared));
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

bool Program::Refused(const std::vector<CycleEntry>& entries, const OrderOptions& options,
                      const char* noTerminal) {
  const auto refusal = Refusal(entries, options, noTerminal);
  if (refusal) View.ShowError(*refusal);
  return refusal.has_value();
}

void Program::RunCycle(std::vector<CycleEntry> entries, const OrderOptions& options,
                       std::unique_ptr<CycleJob> job) {
  served_.reset();
  servedAddress_.clear();
  cycleOptions_ = Resolved(options, inForce_);
  cycleCodePage_ = Resolved(options, codePageInForce_);
  cycle_ =
      std::make_unique<TransferCycle>(Services(), Host(), std::move(entries), std::move(job),
                                      CycleSettings{cycleOptions_.pauseMs, cycleOptions_.parallel});
  cycle_->Start();
}

void Program::StopCycle() {
  if (cycle_) cycle_->Stop();
}

void Program::AbandonCycle() {
  if (cycle_) cycle_->Abandon();
}

std::optional<PreparedDownload> Program::PrepareDownload(DataKind kind, const std::string& path,
                                                         const CodePage& codePage) {
  if (!ParsePort(terminals_.Port())) {
    View.ShowError(BadPortMessage(terminals_.Port()));
    return std::nullopt;
  }
  const uint8_t code = KindChoice{kind, std::nullopt}.DownloadCode();
  if (code == 0) return PreparedDownload{};
  DownloadFileRead read;
  const PreparedDownload prepared = ::PrepareDownload(code, path, codePage, read);
  if (read.error) {
    View.ShowError(read.error->Describe(path));
    return std::nullopt;
  }
  return prepared;
}

void Program::Connect(const TerminalOrder& order) {
  OpenServedSession(order).Connect(nullptr);
}

bool Program::ConnectPending() const {
  if (CycleRunning() && cycle_->Current()) return cycle_->Current()->Connecting();
  return served_ && served_->Connecting();
}

void Program::Disconnect(const TerminalOrder& order) {
  OpenServedSession(order).Disconnect();
}

void Program::Download(const DownloadOrder& order) {
  // The running cycle's terminal is already being sent to.
  if (RefusedWhileRunning()) return;
  if (const std::string fault = OutOfRange(order.options); !fault.empty()) {
    return View.ShowError(fault);
  }
  // Checked first, as a cycle checks its file once at its start.
  const auto prepared =
      PrepareDownload(order.kind, order.file, Resolved(order.options, codePageInForce_));
  if (!prepared) return;
  servedKind_ = CycleKind::Send;
  OpenServedSession({order.address, order.options}).Download(*prepared);
}

void Program::Upload(const UploadOrder& order) {
  TerminalSession& session = OpenServedSession({order.address, order.options});
  // Made in the current directory; a full path is taken as it stands.
  const std::string path =
      order.file.empty() ? std::string() : (std::filesystem::current_path() / order.file).string();
  servedKind_ = CycleKind::Receive;
  session.Upload(order.code, path);
}

void Program::Upload(const UploadOrder& order, std::unique_ptr<UploadFile> file) {
  TerminalSession& session = OpenServedSession({order.address, order.options});
  servedKind_ = CycleKind::Receive;
  session.Upload(order.code, std::move(file));
}
