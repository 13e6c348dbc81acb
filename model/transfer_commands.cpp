// The orders that reach terminals: "&Send Data" (a send cycle), a send
// cycle over the terminals that failed in the last one, checked and handed
// to the cycle runner; and connect, disconnect, download and upload of the
// served terminal.
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
  if (cycles_.RefusedWhileRunning()) return;
  if (Refused(order.entries, order.options, "No Terminal To Send !")) return;
  // A bad port or a bad file stops the cycle before any terminal is
  // contacted, and leaves nothing of it started.
  const CodePage& codePage = Resolved(order.options, codePageInForce_);
  const auto prepared = PrepareDownload(order.kind, order.file, codePage);
  if (!prepared) return;
  served_.Release();
  const uint32_t total = prepared->Total();
  auto job = std::make_unique<DownloadJob>(
      *prepared, order.file, SendChoice{order.changes, order.deleteMissing}, Keeper(), codePage);
  BeginRun(order.changes ? RunKind::ChangesSend : RunKind::Send, prepared->Code(), order.file,
           order.entries, order.options);
  cycles_.Run(Services(), *this, order.entries, std::move(job), total,
              Resolved(order.options, inForce_), codePage, std::nullopt);
}

void Program::SendToFailedTerminals(const SendOrder& order) {
  std::vector<CycleEntry> entries = cycles_.Failed(kept_.List());
  // After a receive, the failed terminals are read again in the same way.
  if (cycles_.LastReceive()) return StartReceive(std::move(entries), *cycles_.LastReceive());
  SendOrder again = order;
  again.entries = std::move(entries);
  Send(again);
}

bool Program::Refused(const std::vector<CycleEntry>& entries, const OrderOptions& options,
                      const char* noTerminal) {
  const auto refusal = Refusal(entries, options, noTerminal);
  if (refusal) view_.ShowError(*refusal);
  return refusal.has_value();
}

std::optional<PreparedDownload> Program::PrepareDownload(DataKind kind, const std::string& path,
                                                         const CodePage& codePage) {
  if (!ParsePort(kept_.List().Port())) {
    view_.ShowError(BadPortMessage(kept_.List().Port()));
    return std::nullopt;
  }
  const uint8_t code = KindChoice{kind, std::nullopt}.DownloadCode();
  if (code == 0) return PreparedDownload{};
  DownloadFileRead read;
  const PreparedDownload prepared = ::PrepareDownload(code, path, codePage, read);
  if (read.error) {
    view_.ShowError(read.error->Describe(path));
    return std::nullopt;
  }
  return prepared;
}

void Program::Connect(const TerminalOrder& order) {
  OpenServedSession(order).Connect(nullptr);
}

void Program::Disconnect(const TerminalOrder& order) {
  OpenServedSession(order).Disconnect();
}

void Program::Download(const DownloadOrder& order) {
  // The running cycle's terminal is already being sent to.
  if (cycles_.RefusedWhileRunning()) return;
  if (const std::string fault = OutOfRange(order.options); !fault.empty()) {
    return view_.ShowError(fault);
  }
  // Checked first, as a cycle checks its file once at its start.
  const auto prepared =
      PrepareDownload(order.kind, order.file, Resolved(order.options, codePageInForce_));
  if (!prepared) return;
  served_.Asked(CycleKind::Send);
  TerminalSession& session = OpenServedSession({order.address, order.options});
  const bool connected = session.LinkOpen();
  // What the terminal acknowledges is kept, as a cycle's send keeps it.
  CommitServed();
  servedKeeper_ = Keeper();
  if (connected && !prepared->Empty()) {
    servedBatch_ = servedKeeper_->Batch(session, prepared->Code(), order.file, prepared->Records());
  }
  session.Download(*prepared);
  // The log has only the failure line: the operator learns why elsewhere.
  if (!connected && prepared->Total() > 0) {
    view_.StatusMessage("Nothing sent to " + session.Address() + ": it is not connected");
  }
}

void Program::Upload(const UploadOrder& order) {
  TerminalSession& session = OpenServedSession({order.address, order.options});
  // Made in the current directory; a full path is taken as it stands.
  const std::string path =
      order.file.empty() ? std::string() : (std::filesystem::current_path() / order.file).string();
  served_.Asked(CycleKind::Receive);
  KeepServedRead(order.code);
  session.Upload(order.code, path);
}

void Program::Upload(const UploadOrder& order, std::unique_ptr<UploadFile> file) {
  TerminalSession& session = OpenServedSession({order.address, order.options});
  served_.Asked(CycleKind::Receive);
  KeepServedRead(order.code);
  session.Upload(order.code, std::move(file));
}
