// Answers from a terminal: each is handed to the handler of its data type
// code, which writes an uploaded record and asks for the next, sends the next
// record or deletion of a download, or ends the transfer.
#include "session/dispatch.h"

#include <cstdint>
#include <cstring>
#include <string>

#include "records/record_kinds.h"
#include "records/record_numbers.h"
#include "records/status_code.h"
#include "session/download.h"
#include "session/download_deletes.h"
#include "session/terminal_session.h"
#include "session/upload.h"

namespace {

// The answer's record of `kind`, or nothing when the answer carries no whole record.
const uint8_t* RecordOf(const RecordKind& kind, const RequestPacket& answer) {
  if (answer.Data == nullptr || answer.DataLength < kind.size) return nullptr;
  return static_cast<const uint8_t*>(answer.Data);
}

// A text field read up to its first zero byte, and no further than `limit` characters.
std::string TextAt(const uint8_t* record, std::size_t offset, std::size_t limit) {
  const auto* text = reinterpret_cast<const char*>(record + offset);
  return std::string(text, strnlen(text, limit));
}

const char* StatusField(const RecordKind& kind, const uint8_t* record) {
  return reinterpret_cast<const char*>(record + kind.statusOffset);
}

// The record number an answer carries, widened to 32 bits: only PluNo 65535
// itself ends an upload.
uint32_t AnswerNumberOf(const RecordKind& kind, const uint8_t* record) {
  return static_cast<uint32_t>(NumberOf(kind, std::span<const uint8_t>(record, kind.size)));
}

std::string CompletionLine(const RecordKind& kind) {
  return std::string("- CompleteDataReceived") + kind.logName;
}

// An answer of the kind the running read asks for: not a late one after its
// end, nor one of another kind.
bool OfTheRead(const TerminalSession& session, uint8_t code) {
  return session.Transfer().Direction == kDirectionRead && code == session.ReadCode();
}

// Records the answer's number and reads whether the terminal ends the upload:
// status "95" or "99" in a record numbered 0, or the record number 65535.
// An answer of the kind being read, while the read runs, also tells how the
// read ended. Returns the status code.
std::string NoteUploadAnswer(TerminalSession& session, const RecordKind& kind, uint32_t number,
                             const uint8_t* record) {
  const bool reading = OfTheRead(session, kind.code);
  TransferState& state = session.State();
  state.AnswerNumber = number;
  const std::string status =
      number == 0 ? StatusCode(StatusField(kind, record), kind.statusSize) : std::string();
  if (status == "95" || status == "99" || number == kEndNumber) state.Direction = 0;
  if (!reading) return status;
  if (status == "99") {
    state.EndOfRead = ReadEnd::NoMore;
  } else if (status == "95") {
    state.EndOfRead = ReadEnd::Unnumbered;
  } else if (number == kEndNumber) {
    state.EndOfRead = ReadEnd::EndNumber;
  }
  return status;
}

// The answer that ended the read with status "95" or the number 65535 is no
// record of the terminal under its own number: an upload still writes its
// line, but it is neither counted nor handed on as a record.
bool IsEndAnswer(const TerminalSession& session) {
  const ReadEnd end = session.Transfer().EndOfRead;
  return end == ReadEnd::Unnumbered || end == ReadEnd::EndNumber;
}

// An upload moves forward when each answer carries at least the number asked
// for; a terminal that answers an earlier number would otherwise be asked for
// the same records again and again. PLU numbers compare as signed.
bool MovesForward(const TerminalSession& session, const RecordKind& kind, uint32_t number) {
  const uint32_t asked = session.Transfer().RecordNumber;
  return kind.wideNumber ? static_cast<int32_t>(number) >= static_cast<int32_t>(asked)
                         : number >= asked;
}

// Ends an upload whose terminal answered out of order, with the failure line
// of the kind's request.
void UploadOutOfOrder(TerminalSession& session, const RecordKind& kind) {
  session.State().Direction = 0;
  session.State().End = TransferEnd::NotForward;
  session.Log(std::string("- Fail to Send dataUploadNext") + kind.logName);
  session.Disconnect();
}

// An answer to an upload request: a record numbered 0 with status "99" is
// not data; every other record becomes a line of the upload file, unless it
// does not move the upload forward. Returns whether the upload goes on.
bool WriteUnlessEnd(TerminalSession& session, const RecordKind& kind, const uint8_t* record,
                    uint32_t number) {
  const bool forward = MovesForward(session, kind, number);
  const bool reading = OfTheRead(session, kind.code);
  if (NoteUploadAnswer(session, kind, number, record) == "99") {
    session.Log(CompletionLine(kind));
  } else if (session.State().Direction != 0 && !forward) {
    UploadOutOfOrder(session, kind);
    return false;
  } else {
    // A late answer, after the end, or one of another kind is no record of this read.
    if (reading && !IsEndAnswer(session)) session.Received(record, kind.size);
    AddUploadLine(session, kind, record);
  }
  if (session.State().Direction != 0) return true;
  session.Disconnect();
  return false;
}

// The record's every record has come when no number follows the largest PLU
// number, or a report's count is reached.
bool LastOfItsKind(const RecordKind& kind, uint32_t number) {
  if (kind.report) return ReportLimitReached(static_cast<int32_t>(number + 1), kind.code);
  return kind.wideNumber && number == static_cast<uint32_t>(kLargestPluNumber);
}

void UploadAnswer(TerminalSession& session, const RecordKind& kind, const uint8_t* record) {
  const uint32_t number = AnswerNumberOf(kind, record);
  if (!WriteUnlessEnd(session, kind, record, number)) return;
  if (LastOfItsKind(kind, number)) {
    if (kind.code == session.ReadCode()) session.State().EndOfRead = ReadEnd::Last;
    session.Log(CompletionLine(kind));
    session.Disconnect();
  } else {
    UploadNext(session, kind.code, 1);
  }
}

// The single speedkey record: the one asked for, unless the terminal holds
// none or answered a status; anything else is only logged.
void SingleRecordAnswer(TerminalSession& session, const RecordKind& kind, const uint8_t* record) {
  const uint32_t number = AnswerNumberOf(kind, record);
  const bool asked = session.ReadCode() == kind.code && session.State().Direction != 0;
  NoteUploadAnswer(session, kind, number, record);
  if (asked && number != 0 && !IsEndAnswer(session)) {
    session.Received(record, kind.size);
    session.State().EndOfRead = ReadEnd::Last;
  }
  session.Log(CompletionLine(kind));
  if (asked) session.State().Direction = 0;
  if (session.State().Direction == 0) session.Disconnect();
}

// The acknowledgment of a downloaded record counts it as stored and sends the
// next one, unless the transfer has been ended meanwhile, or the terminal did
// not store the record: it then answers under another number than the one
// sent, or with a refusal status in a record numbered 0. The single speedkey
// record's acknowledgment ends the download as the other kinds' last one
// does: the sender finds nothing left to send.
void Acknowledged(TerminalSession& session, const RecordKind& kind, const uint8_t* record) {
  TransferState& state = session.State();
  const uint32_t number = AnswerNumberOf(kind, record);
  state.AnswerNumber = number;
  if (kind.ackTextLimit > 0) {
    session.Log(TextAt(record, kind.ackTextOffset, kind.ackTextLimit) + "DataReceived" +
                kind.logName);
  }
  const std::string refusal =
      number == 0 ? RefusalText(StatusField(kind, record), kind.statusSize) : std::string();
  if (state.Direction == 0) {
    session.CloseUploadFile();
  } else if (number != state.RecordNumber || !refusal.empty()) {
    state.Refusal = refusal.empty() ? "answered as record " + std::to_string(number) : refusal;
    DownloadRefused(session, kind.code);
  } else {
    // A record is counted once, and only while it is the latest handed over.
    if (state.Direction == kDirectionWrite && state.Stored < state.RecordIndex) {
      ++state.Stored;
      const PreparedDownload& prepared = session.Prepared();
      if (prepared.Code() == kind.code) {
        session.Report().RecordStored(session, kind.code,
                                      prepared.Records()[state.RecordIndex - 1]);
      }
    }
    DownloadNext(session, kind.code, 1);
  }
}

}  // namespace

bool IsDispatchedCode(uint8_t code) {
  return KindOfCode(code) != nullptr;
}

void DispatchAnswer(TerminalSession& session, const RequestPacket& answer) {
  const RecordKind* kind = KindOfCode(answer.Code);
  if (!kind) return;
  const uint8_t* record = RecordOf(*kind, answer);
  if (!record) return;
  if (answer.Direction == kDirectionRead) {
    if (kind->next == NextRead::Once) return SingleRecordAnswer(session, *kind, record);
    UploadAnswer(session, *kind, record);
  } else if (answer.Direction == kDirectionWrite && kind->writable) {
    // The reports are never sent: an acknowledgment of one is ignored.
    Acknowledged(session, *kind, record);
  } else if (answer.Direction == kDirectionDelete && kind->writable) {
    DeleteAnswered(session, *kind, record);
  }
}

bool ReportLimitReached(int32_t number, uint8_t code) {
  // How many records each report holds; 0 for any other code.
  const RecordKind* kind = KindOfCode(code);
  return number >= (kind && kind->report ? kind->reportCount : 0);
}
