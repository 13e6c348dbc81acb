// Downloads: the sender hands the session's records to the terminal one at a
// time, each answer sending the next.
#include "session/download.h"

#include <string>
#include <vector>

#include "records/record_kinds.h"
#include "session/download_deletes.h"
#include "session/prepared_download.h"
#include "session/request.h"
#include "session/terminal_session.h"

namespace {

std::string Counted(const char* before, uint32_t n) {
  return before + std::to_string(n) + ")";
}

// Log lines, where `n` is the number of records handed over so far. PLU
// lines carry the count, the other kinds' lines are fixed texts.
std::string SuccessLine(const RecordKind& kind, uint32_t n) {
  return kind.code == kCodePlu ? Counted("- Success to Send Plu (", n)
                               : std::string("- Success to Send dataDownloadNext") + kind.logName;
}
std::string CompletionLine(const RecordKind& kind, uint32_t n) {
  return kind.code == kCodePlu ? Counted("- Complete Send Plu (Total : ", n)
                               : std::string("- CompleteDownloadNext") + kind.logName;
}
std::string FailureLine(const RecordKind& kind, uint32_t n) {
  return kind.code == kCodePlu ? Counted("- Fail to Send Plu (", n)
                               : std::string("- Fail to Send dataDownloadNext") + kind.logName;
}

// Ends the download at its failure line. A later answer then sends nothing.
void EndFailed(TerminalSession& session, const RecordKind& kind, TransferEnd end) {
  TransferState& state = session.State();
  state.Direction = 0;
  if (state.End == TransferEnd::Running) state.End = end;
  session.Log(FailureLine(kind, state.RecordIndex));
}

// The kind of `code` when a download sends it.
const RecordKind* SentKind(uint8_t code) {
  const RecordKind* kind = KindOfCode(code);
  return kind && kind->writable ? kind : nullptr;
}

}  // namespace

void DownloadRefused(TerminalSession& session, uint8_t code) {
  session.State().Direction = 0;
  session.State().End = TransferEnd::Refused;
  if (const RecordKind* kind = SentKind(code)) {
    session.Log(FailureLine(*kind, session.State().RecordIndex));
  }
  session.Disconnect();
}

// The common steps of every kind's sender.
void DownloadNext(TerminalSession& session, uint8_t code, int flag) {
  const RecordKind* kind = SentKind(code);
  if (!kind) return;
  TransferState& state = session.State();
  if (flag == 0) state.RecordIndex = 0;
  // Only records of the answer's own kind are ever sent under its code.
  static const std::vector<DownloadRecord> kNone;
  const PreparedDownload& prepared = session.Prepared();
  const std::vector<DownloadRecord>& records = prepared.Code() == code ? prepared.Records() : kNone;
  if (state.RecordIndex >= records.size()) {
    // Every record handed over has been acknowledged as stored by now; the
    // deletions, if any, follow, and the download is complete after them.
    const bool deletes = prepared.Code() == code && !prepared.Deletes().empty();
    if (!deletes) state.End = TransferEnd::Complete;
    session.Log(CompletionLine(*kind, state.RecordIndex));
    if (deletes) return DeleteNext(session, *kind);
    session.Disconnect();
    return;
  }
  const DownloadRecord& record = records[state.RecordIndex];
  state.RecordNumber = static_cast<uint32_t>(record.number);
  const RequestOutcome outcome =
      SendRequest(session, kind->code, kDirectionWrite, record.bytes.data(), kind->size);
  // A record counts as handed over once the terminal is connected, whether
  // or not the library then accepts it.
  if (outcome != RequestOutcome::NotConnected) ++state.RecordIndex;
  if (outcome != RequestOutcome::Sent) {
    // Also for the last record: a refused record is never reported as a
    // complete download. The answer time-out moves a send cycle on. A link
    // that is no longer connected was closed from the terminal's side.
    EndFailed(session, *kind,
              outcome == RequestOutcome::NotConnected ? TransferEnd::ClosedByTerminal
                                                      : TransferEnd::SendFailed);
  } else if (kind->code == kCodePlu) {
    session.Report().LogProgress(SuccessLine(*kind, state.RecordIndex));
  } else {
    session.Log(SuccessLine(*kind, state.RecordIndex));
  }
}
