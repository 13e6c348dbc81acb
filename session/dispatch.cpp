// Answers from a terminal: each is handed to the handler of its data type
// code, which writes an uploaded record and asks for the next, sends the next
// record of a download, or ends the transfer.
#include "session/dispatch.h"

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

#include "records/record_numbers.h"
#include "records/records.h"
#include "records/status_code.h"
#include "session/download.h"
#include "session/terminal_session.h"
#include "session/upload.h"

namespace {

// The answer's record, or nothing when the answer carries no whole record.
template <class Record>
std::optional<Record> RecordOf(const RequestPacket& answer) {
  if (answer.Data == nullptr || answer.DataLength < sizeof(Record)) return std::nullopt;
  Record record;
  std::memcpy(&record, answer.Data, sizeof record);
  return record;
}

// A text field read up to its first zero byte, and no further than `limit` characters.
template <std::size_t N>
std::string TextOf(const char (&field)[N], std::size_t limit) {
  return std::string(field, strnlen(field, limit < N ? limit : N));
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
template <std::size_t N>
std::string NoteUploadAnswer(TerminalSession& session, uint8_t code, uint32_t number,
                             const char (&statusText)[N]) {
  const bool reading = OfTheRead(session, code);
  TransferState& state = session.State();
  state.AnswerNumber = number;
  const std::string status = number == 0 ? StatusCode(statusText, N) : std::string();
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
// the same records again and again. `wide` compares PLU numbers as signed.
bool MovesForward(const TerminalSession& session, uint32_t number, bool wide) {
  const uint32_t asked = session.Transfer().RecordNumber;
  return wide ? static_cast<int32_t>(number) >= static_cast<int32_t>(asked) : number >= asked;
}

// Ends an upload whose terminal answered out of order, with the failure line
// of the kind's request.
void UploadOutOfOrder(TerminalSession& session, const char* requestName) {
  session.State().Direction = 0;
  session.State().End = TransferEnd::NotForward;
  session.Log(std::string("- Fail to Send data") + requestName);
  session.Disconnect();
}

// How one kind's upload answers are handled.
template <class Record>
struct UploadKind {
  uint8_t code;
  const char* completionLine;
  const char* requestName;  // the request's name in its log lines
  void (*writeLine)(TerminalSession&, const Record*);
  void (*requestNext)(TerminalSession&, int);
  bool wideNumber = false;
};

// An answer to an upload request: a record numbered 0 with status "99" is
// not data; every other record becomes a line of the upload file, unless it
// does not move the upload forward. Returns whether the upload goes on.
template <class Record, std::size_t N>
bool WriteUnlessEnd(TerminalSession& session, const Record& record, uint32_t number,
                    const char (&statusText)[N], const UploadKind<Record>& kind) {
  const bool forward = MovesForward(session, number, kind.wideNumber);
  const bool reading = OfTheRead(session, kind.code);
  if (NoteUploadAnswer(session, kind.code, number, statusText) == "99") {
    session.Log(kind.completionLine);
  } else if (session.State().Direction != 0 && !forward) {
    UploadOutOfOrder(session, kind.requestName);
    return false;
  } else {
    // A late answer, after the end, or one of another kind is no record of this read.
    if (reading && !IsEndAnswer(session)) session.Received(&record, sizeof record);
    kind.writeLine(session, &record);
  }
  if (session.State().Direction != 0) return true;
  session.Disconnect();
  return false;
}

template <class Record, std::size_t N>
void UploadAnswer(TerminalSession& session, const Record& record, uint32_t number,
                  const char (&statusText)[N], const UploadKind<Record>& kind) {
  if (!WriteUnlessEnd(session, record, number, statusText, kind)) return;
  if (kind.wideNumber && number == static_cast<uint32_t>(kLargestPluNumber)) {
    // No PLU number follows the largest one: the upload is complete.
    if (kind.code == session.ReadCode()) session.State().EndOfRead = ReadEnd::Last;
    session.Log(kind.completionLine);
    session.Disconnect();
  } else {
    kind.requestNext(session, 1);
  }
}

// A report also ends when its record count is reached.
template <class Record>
void ReportAnswer(TerminalSession& session, const RequestPacket& answer, uint8_t reportCode,
                  const UploadKind<Record>& kind) {
  if (answer.Direction != kDirectionRead) return;
  const auto record = RecordOf<Record>(answer);
  if (!record) return;
  const uint32_t number = record->Number;
  if (!WriteUnlessEnd(session, *record, number, record->Text, kind)) return;
  if (ReportLimitReached(static_cast<int32_t>(number + 1), reportCode)) {
    // The report's every record has come: none follows its count.
    if (kind.code == session.ReadCode()) session.State().EndOfRead = ReadEnd::Last;
    session.Log(kind.completionLine);
    session.Disconnect();
  } else {
    kind.requestNext(session, 1);
  }
}

// The acknowledgment of a downloaded record counts it as stored and sends the
// next one, unless the transfer has been ended meanwhile, or the terminal did
// not store the record: it then answers under another number than the one
// sent, or with a refusal status in a record numbered 0.
template <std::size_t N>
void Acknowledged(TerminalSession& session, const RequestPacket& answer, uint32_t number,
                  const char (&statusText)[N], const std::optional<std::string>& logged) {
  TransferState& state = session.State();
  state.AnswerNumber = number;
  if (logged) session.Log(*logged);
  const std::string refusal = number == 0 ? RefusalText(statusText, N) : std::string();
  if (state.Direction == 0) {
    session.CloseUploadFile();
  } else if (number != state.RecordNumber || !refusal.empty()) {
    state.Refusal = refusal.empty() ? "answered as record " + std::to_string(number) : refusal;
    DownloadRefused(session, answer.Code);
  } else {
    // A record is counted once, and only while it is the latest handed over.
    if (state.Direction == kDirectionWrite && state.Stored < state.RecordIndex) ++state.Stored;
    DownloadNext(session, answer.Code, 1);
  }
}

}  // namespace

bool IsDispatchedCode(uint8_t code) {
  switch (code) {
    case kCodePlu:
    case kCodeBarcode:
    case kCodeIngredient:
    case kCodeScrollMsg:
    case kCodeSpeedkey:
    case kCodeReportPlu:
    case kCodeReportTime:
    case kCodeReportGroup:
    case kCodeReportDept:
      return true;
    default:
      return false;
  }
}

void DispatchAnswer(TerminalSession& session, const RequestPacket& answer) {
  switch (answer.Code) {
    case kCodePlu:
      return DataReceivedPLU(session, answer);
    case kCodeBarcode:
      return DataReceivedBarcode(session, answer);
    case kCodeIngredient:
      return DataReceivedIngredient(session, answer);
    case kCodeScrollMsg:
      return DataReceivedScrollMsg(session, answer);
    case kCodeSpeedkey:
      return DataReceivedSpeedkey(session, answer);
    case kCodeReportPlu:
      return DataReceivedReportPLU(session, answer);
    case kCodeReportTime:
      return DataReceivedReportTime(session, answer);
    case kCodeReportGroup:
      return DataReceivedReportGroup(session, answer);
    case kCodeReportDept:
      return DataReceivedReportDept(session, answer);
    default:
      return;
  }
}

void DataReceivedPLU(TerminalSession& session, const RequestPacket& answer) {
  const auto record = RecordOf<PluRecord>(answer);
  if (!record) return;
  // Widened from the signed field: only PluNo 65535 itself ends an upload.
  const uint32_t number = static_cast<uint32_t>(record->PluNo);
  if (answer.Direction == kDirectionRead) {
    UploadAnswer(session, *record, number, record->Text,
                 UploadKind<PluRecord>{kCodePlu, "- CompleteDataReceivedPLU", "UploadNextPLU",
                                       AddPlu, UploadNextPLU, true});
  } else if (answer.Direction == kDirectionWrite) {
    Acknowledged(session, answer, number, record->Text, std::nullopt);
  }
}

void DataReceivedBarcode(TerminalSession& session, const RequestPacket& answer) {
  const auto record = RecordOf<BarcodeRecord>(answer);
  if (!record) return;
  if (answer.Direction == kDirectionRead) {
    UploadAnswer(session, *record, record->Number, record->Text2,
                 UploadKind<BarcodeRecord>{kCodeBarcode, "- CompleteDataReceivedBarcode",
                                           "UploadNextBarcode", AddBarcode, UploadNextBarcode});
  } else if (answer.Direction == kDirectionWrite) {
    Acknowledged(session, answer, record->Number, record->Text2,
                 TextOf(record->Text2, 101) + "DataReceivedBarcode");
  }
}

void DataReceivedIngredient(TerminalSession& session, const RequestPacket& answer) {
  const auto record = RecordOf<IngredientRecord>(answer);
  if (!record) return;
  if (answer.Direction == kDirectionRead) {
    UploadAnswer(
        session, *record, record->Number, record->Text,
        UploadKind<IngredientRecord>{kCodeIngredient, "- CompleteDataReceivedIngredient",
                                     "UploadNextIngredient", AddIngredient, UploadNextIngredient});
  } else if (answer.Direction == kDirectionWrite) {
    Acknowledged(session, answer, record->Number, record->Text,
                 TextOf(record->Text, 1025) + "DataReceivedIngredient");
  }
}

void DataReceivedScrollMsg(TerminalSession& session, const RequestPacket& answer) {
  const auto record = RecordOf<ScrollMsgRecord>(answer);
  if (!record) return;
  if (answer.Direction == kDirectionRead) {
    UploadAnswer(
        session, *record, record->Number, record->Text1,
        UploadKind<ScrollMsgRecord>{kCodeScrollMsg, "- CompleteDataReceivedScrollMsg",
                                    "UploadNextScrollMsg", AddScrollMsg, UploadNextScrollMsg});
  } else if (answer.Direction == kDirectionWrite) {
    Acknowledged(session, answer, record->Number, record->Text1,
                 TextOf(record->Text2, 101) + "DataReceivedScrollMsg");
  }
}

void DataReceivedSpeedkey(TerminalSession& session, const RequestPacket& answer) {
  const auto record = RecordOf<SpeedkeyRecord>(answer);
  if (!record) return;
  if (answer.Direction == kDirectionRead) {
    const bool asked = session.ReadCode() == kCodeSpeedkey && session.State().Direction != 0;
    NoteUploadAnswer(session, kCodeSpeedkey, record->Number, record->Text);
    // The one record asked for, unless the terminal holds none or answered a
    // status; anything else is only logged.
    if (asked && record->Number != 0 && !IsEndAnswer(session)) {
      session.Received(&*record, sizeof *record);
      session.State().EndOfRead = ReadEnd::Last;
    }
    session.Log("- CompleteDataReceivedSpeedkey");
    if (asked) session.State().Direction = 0;
    if (session.State().Direction == 0) session.Disconnect();
  } else if (answer.Direction == kDirectionWrite) {
    // The single speedkey record's acknowledgment ends the download as the
    // other kinds' last one does: the sender finds nothing left to send.
    Acknowledged(session, answer, record->Number, record->Text,
                 TextOf(record->Text, 101) + "DataReceivedSpeedkey");
  }
}

void DataReceivedReportPLU(TerminalSession& session, const RequestPacket& answer) {
  ReportAnswer(
      session, answer, kCodeReportPlu,
      UploadKind<ReportPluRecord>{kCodeReportPlu, "- CompleteDataReceivedReportPLU",
                                  "UploadNextReportPLU", AddReportPLU, UploadNextReportPLU});
}

void DataReceivedReportTime(TerminalSession& session, const RequestPacket& answer) {
  ReportAnswer(
      session, answer, kCodeReportTime,
      UploadKind<ReportTotalRecord>{kCodeReportTime, "- CompleteDataReceivedReportTime",
                                    "UploadNextReportTime", AddReportTime, UploadNextReportTime});
}

void DataReceivedReportGroup(TerminalSession& session, const RequestPacket& answer) {
  ReportAnswer(session, answer, kCodeReportGroup,
               UploadKind<ReportTotalRecord>{kCodeReportGroup, "- CompleteDataReceivedReportGroup",
                                             "UploadNextReportGroup", AddReportGroup,
                                             UploadNextReportGroup});
}

void DataReceivedReportDept(TerminalSession& session, const RequestPacket& answer) {
  ReportAnswer(
      session, answer, kCodeReportDept,
      UploadKind<ReportTotalRecord>{kCodeReportDept, "- CompleteDataReceivedReportDept",
                                    "UploadNextReportDept", AddReportDept, UploadNextReportDept});
}

bool ReportLimitReached(int32_t number, uint8_t code) {
  // How many records each report holds.
  int32_t count = 0;
  switch (code) {
    case kCodeReportPlu:
      count = 10000;
      break;
    case kCodeReportTime:
      count = 24;
      break;
    case kCodeReportGroup:
    case kCodeReportDept:
      count = 100;
      break;
    default:
      break;
  }
  return number >= count;
}
