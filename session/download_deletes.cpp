// Deletions after a download's records: one request per answer, as the
// records go.
#include "session/download_deletes.h"

#include <span>
#include <string>
#include <vector>

#include "records/record_kinds.h"
#include "records/status_code.h"
#include "session/request.h"
#include "session/terminal_session.h"

namespace {

// `n` is the number of deletions acknowledged (completion) or handed over,
// the failed one included (failure).
std::string CompletionLine(const RecordKind& kind, uint32_t n) {
  return std::string("- Complete Delete ") + kind.logName + " (Total : " + std::to_string(n) + ")";
}
std::string FailureLine(const RecordKind& kind, uint32_t n) {
  return std::string("- Fail to Delete ") + kind.logName + " (" + std::to_string(n) + ")";
}

// Ends the download at the failure line. A later answer then deletes nothing.
void EndFailed(TerminalSession& session, const RecordKind& kind, TransferEnd end) {
  TransferState& state = session.State();
  state.Direction = 0;
  if (state.End == TransferEnd::Running) state.End = end;
  session.Log(FailureLine(kind, state.DeleteIndex));
}

}  // namespace

void DeleteNext(TerminalSession& session, const RecordKind& kind) {
  TransferState& state = session.State();
  const std::vector<int64_t>& numbers = session.Prepared().Deletes();
  if (state.DeleteIndex >= numbers.size()) {
    state.End = TransferEnd::Complete;
    session.Log(CompletionLine(kind, state.Deleted));
    session.Disconnect();
    return;
  }
  // A record of the kind, zero but for the number to delete.
  std::vector<uint8_t> request(kind.size, 0);
  SetNumberOf(kind, request, numbers[state.DeleteIndex]);
  state.RecordNumber = static_cast<uint32_t>(numbers[state.DeleteIndex]);
  const RequestOutcome outcome =
      SendRequest(session, kind.code, kDirectionDelete, request.data(), kind.size);
  if (outcome != RequestOutcome::NotConnected) ++state.DeleteIndex;
  if (outcome != RequestOutcome::Sent) {
    // As for a record: the answer time-out moves a send cycle on.
    EndFailed(session, kind,
              outcome == RequestOutcome::NotConnected ? TransferEnd::ClosedByTerminal
                                                      : TransferEnd::SendFailed);
  }
}

void DeleteAnswered(TerminalSession& session, const RecordKind& kind, const uint8_t* record) {
  TransferState& state = session.State();
  // Only the answer to the deletion handed over last counts, once, while the
  // download runs.
  if (state.Direction == 0 || session.Prepared().Code() != kind.code ||
      state.Deleted >= state.DeleteIndex) {
    return;
  }
  const uint32_t number =
      static_cast<uint32_t>(NumberOf(kind, std::span<const uint8_t>(record, kind.size)));
  state.AnswerNumber = number;
  const char* status = reinterpret_cast<const char*>(record + kind.statusOffset);
  const std::string refusal = number == 0 ? RefusalText(status, kind.statusSize) : std::string();
  if (number != state.RecordNumber || !refusal.empty()) {
    state.Refusal =
        refusal.empty() ? "delete answered as record " + std::to_string(number) : refusal;
    EndFailed(session, kind, TransferEnd::Refused);
    session.Disconnect();
    return;
  }
  ++state.Deleted;
  session.Report().RecordDeleted(session, kind.code,
                                 session.Prepared().Deletes()[state.DeleteIndex - 1]);
  DeleteNext(session, kind);
}
