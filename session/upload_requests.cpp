// Uploads: the requests that ask a terminal for one record at a time; each
// answer's handler asks for the next one through them. Each kind's record
// numbers follow its row of the table of record kinds.
#include <string>
#include <vector>

#include "records/record_kinds.h"
#include "session/request.h"
#include "session/terminal_session.h"
#include "session/upload.h"

namespace {

// Sends one read request and logs its outcome (a Read, which writes no line
// per record, logs only a failure).
void Request(TerminalSession& session, const RecordKind& kind, const std::vector<uint8_t>& record) {
  const std::string name = std::string("UploadNext") + kind.logName;
  if (SendRequest(session, kind.code, kDirectionRead, record.data(), kind.size) ==
      RequestOutcome::Sent) {
    if (session.WritesLines()) session.Log("- Success to Send data" + name);
  } else {
    session.Log("- Fail to Send data" + name);
  }
}

// An upload starts at the kind's first number. A Read asks for every record
// the terminal holds, so it starts at the lowest number a record of the kind
// can have.
uint32_t FirstNumber(const TerminalSession& session, const RecordKind& kind) {
  return static_cast<uint32_t>(session.WritesLines() ? kind.firstNumber : kind.lowestNumber);
}

// The record after the one the terminal last answered with, so that numbers
// the terminal does not hold are never asked for (PLU numbers counted in 32
// bits, the others in 16); the reports count on from their own last request.
uint32_t NextNumber(const TerminalSession& session, const RecordKind& kind) {
  const TransferState& state = session.Transfer();
  if (kind.next == NextRead::AfterRequest) {
    return static_cast<uint16_t>((state.RecordNumber & 0xFFFF) + 1);
  }
  if (kind.wideNumber) return state.AnswerNumber + 1;
  return static_cast<uint16_t>((state.AnswerNumber & 0xFFFF) + 1);
}

}  // namespace

void UploadNext(TerminalSession& session, uint8_t code, int flag) {
  const RecordKind* kind = KindOfCode(code);
  if (!kind || !kind->readable) return;
  // A terminal holds one speedkey record: it is asked for once.
  if (kind->next == NextRead::Once && flag != 0) return;
  const uint32_t number = flag == 0 ? FirstNumber(session, *kind) : NextNumber(session, *kind);
  // A request record is all zero but for its number (and the PLU's Field1).
  std::vector<uint8_t> record(kind->size);
  SetNumberOf(*kind, record, number);
  if (kind->presetOffset) record[*kind->presetOffset] = 1;
  session.State().RecordNumber = kind->wideNumber ? number : static_cast<uint16_t>(number);
  Request(session, *kind, record);
}

int ReportFirstNumber(uint8_t reportCode) {
  const RecordKind* kind = KindOfCode(reportCode);
  return kind && kind->report ? kind->firstNumber : 0;
}
