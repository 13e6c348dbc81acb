// Answers from a terminal: each is handed to the handler of its data type
// code, which writes an uploaded record and asks for the next, sends the next
// record of a download, or ends the transfer.
#include "transfer/dispatch.h"

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

#include "app/tform1.h"
#include "records/records.h"
#include "records/status_code.h"
#include "transfer/download.h"
#include "transfer/upload.h"

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

// Records the answer's number and reads whether the terminal ends the upload:
// status "95" or "99" in a record numbered 0, or the record number 65535.
// Returns the status code.
template <std::size_t N>
std::string NoteUploadAnswer(TForm1& form, uint32_t number, const char (&statusText)[N]) {
  form.Transfer.AnswerNumber = number;
  const std::string status = number == 0 ? StatusCode(statusText, N) : std::string();
  if (status == "95" || status == "99" || number == 65535) form.Transfer.Direction = 0;
  return status;
}

// An upload moves forward when each answer carries at least the number asked
// for; a terminal that answers an earlier number would otherwise be asked for
// the same records again and again. `wide` compares PLU numbers as signed.
bool MovesForward(const TForm1& form, uint32_t number, bool wide) {
  const uint32_t asked = form.Transfer.RecordNumber;
  return wide ? static_cast<int32_t>(number) >= static_cast<int32_t>(asked) : number >= asked;
}

// Ends an upload whose terminal answered out of order, with the failure line
// of the kind's request.
void UploadOutOfOrder(TForm1& form, const char* requestName) {
  form.Transfer.Direction = 0;
  form.Transfer.End = TransferEnd::NotForward;
  form.AddLog(std::string("- Fail to Send data") + requestName);
  form.DisconnectTerminal();
}

// How one kind's upload answers are handled.
template <class Record>
struct UploadKind {
  const char* completionLine;
  const char* requestName;  // the request's name in its log lines
  void (*writeLine)(TForm1&, const Record*);
  void (*requestNext)(TForm1&, int);
  bool wideNumber = false;
};

// An answer to an upload request: a record numbered 0 with status "99" is
// not data; every other record becomes a line of the upload file, unless it
// does not move the upload forward. Returns whether the upload goes on.
template <class Record, std::size_t N>
bool WriteUnlessEnd(TForm1& form, const Record& record, uint32_t number,
                    const char (&statusText)[N], const UploadKind<Record>& kind) {
  const bool forward = MovesForward(form, number, kind.wideNumber);
  if (NoteUploadAnswer(form, number, statusText) == "99") {
    form.AddLog(kind.completionLine);
  } else if (form.Transfer.Direction != 0 && !forward) {
    UploadOutOfOrder(form, kind.requestName);
    return false;
  } else {
    kind.writeLine(form, &record);
  }
  if (form.Transfer.Direction != 0) return true;
  form.DisconnectTerminal();
  return false;
}

template <class Record, std::size_t N>
void UploadAnswer(TForm1& form, const Record& record, uint32_t number, const char (&statusText)[N],
                  const UploadKind<Record>& kind) {
  if (!WriteUnlessEnd(form, record, number, statusText, kind)) return;
  if (kind.wideNumber && number == static_cast<uint32_t>(INT32_MAX)) {
    // No PLU number follows the largest one: the upload is complete.
    form.AddLog(kind.completionLine);
    form.DisconnectTerminal();
  } else {
    kind.requestNext(form, 1);
  }
}

// A report also ends when its record count is reached.
template <class Record>
void ReportAnswer(TForm1& form, const RequestPacket& answer, uint8_t reportCode,
                  const UploadKind<Record>& kind) {
  if (answer.Direction != kDirectionRead) return;
  const auto record = RecordOf<Record>(answer);
  if (!record) return;
  const uint32_t number = record->Number;
  if (!WriteUnlessEnd(form, *record, number, record->Text, kind)) return;
  if (ReportLimitReached(form, static_cast<int32_t>(number + 1), reportCode)) {
    form.AddLog(kind.completionLine);
    form.DisconnectTerminal();
  } else {
    kind.requestNext(form, 1);
  }
}

// The acknowledgment of a downloaded record counts it as stored and sends the
// next one, unless the transfer has been ended meanwhile, or the terminal did
// not store the record: it then answers under another number than the one
// sent, or with a refusal status in a record numbered 0.
template <std::size_t N>
void Acknowledged(TForm1& form, const RequestPacket& answer, uint32_t number,
                  const char (&statusText)[N], const std::optional<std::string>& logged,
                  void (*sendNext)(TForm1&, int)) {
  TransferState& state = form.Transfer;
  state.AnswerNumber = number;
  if (logged) form.AddLog(*logged);
  const std::string refusal = number == 0 ? RefusalText(statusText, N) : std::string();
  if (state.Direction == 0) {
    form.CloseUploadFile();
  } else if (number != state.RecordNumber || !refusal.empty()) {
    state.Refusal = refusal.empty() ? "answered as record " + std::to_string(number) : refusal;
    DownloadRefused(form, answer.Code);
  } else {
    // A record is counted once, and only while it is the latest handed over.
    if (state.Direction == kDirectionWrite && state.Stored < state.RecordIndex) ++state.Stored;
    sendNext(form, 1);
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

void DispatchAnswer(TForm1& form, const RequestPacket& answer) {
  switch (answer.Code) {
    case kCodePlu:
      return DataReceivedPLU(form, answer);
    case kCodeBarcode:
      return DataReceivedBarcode(form, answer);
    case kCodeIngredient:
      return DataReceivedIngredient(form, answer);
    case kCodeScrollMsg:
      return DataReceivedScrollMsg(form, answer);
    case kCodeSpeedkey:
      return DataReceivedSpeedkey(form, answer);
    case kCodeReportPlu:
      return DataReceivedReportPLU(form, answer);
    case kCodeReportTime:
      return DataReceivedReportTime(form, answer);
    case kCodeReportGroup:
      return DataReceivedReportGroup(form, answer);
    case kCodeReportDept:
      return DataReceivedReportDept(form, answer);
    default:
      return;
  }
}

void DataReceivedPLU(TForm1& form, const RequestPacket& answer) {
  const auto record = RecordOf<PluRecord>(answer);
  if (!record) return;
  // Widened from the signed field: only PluNo 65535 itself ends an upload.
  const uint32_t number = static_cast<uint32_t>(record->PluNo);
  if (answer.Direction == kDirectionRead) {
    UploadAnswer(form, *record, number, record->Text,
                 UploadKind<PluRecord>{"- CompleteDataReceivedPLU", "UploadNextPLU", AddPlu,
                                       UploadNextPLU, true});
  } else if (answer.Direction == kDirectionWrite) {
    Acknowledged(form, answer, number, record->Text, std::nullopt, DownloadNextPLU);
  }
}

void DataReceivedBarcode(TForm1& form, const RequestPacket& answer) {
  const auto record = RecordOf<BarcodeRecord>(answer);
  if (!record) return;
  if (answer.Direction == kDirectionRead) {
    UploadAnswer(form, *record, record->Number, record->Text2,
                 UploadKind<BarcodeRecord>{"- CompleteDataReceivedBarcode", "UploadNextBarcode",
                                           AddBarcode, UploadNextBarcode});
  } else if (answer.Direction == kDirectionWrite) {
    Acknowledged(form, answer, record->Number, record->Text2,
                 TextOf(record->Text2, 101) + "DataReceivedBarcode", DownloadNextBarcode);
  }
}

void DataReceivedIngredient(TForm1& form, const RequestPacket& answer) {
  const auto record = RecordOf<IngredientRecord>(answer);
  if (!record) return;
  if (answer.Direction == kDirectionRead) {
    UploadAnswer(
        form, *record, record->Number, record->Text,
        UploadKind<IngredientRecord>{"- CompleteDataReceivedIngredient", "UploadNextIngredient",
                                     AddIngredient, UploadNextIngredient});
  } else if (answer.Direction == kDirectionWrite) {
    Acknowledged(form, answer, record->Number, record->Text,
                 TextOf(record->Text, 1025) + "DataReceivedIngredient", DownloadNextIngredient);
  }
}

void DataReceivedScrollMsg(TForm1& form, const RequestPacket& answer) {
  const auto record = RecordOf<ScrollMsgRecord>(answer);
  if (!record) return;
  if (answer.Direction == kDirectionRead) {
    UploadAnswer(
        form, *record, record->Number, record->Text1,
        UploadKind<ScrollMsgRecord>{"- CompleteDataReceivedScrollMsg", "UploadNextScrollMsg",
                                    AddScrollMsg, UploadNextScrollMsg});
  } else if (answer.Direction == kDirectionWrite) {
    Acknowledged(form, answer, record->Number, record->Text1,
                 TextOf(record->Text2, 101) + "DataReceivedScrollMsg", DownloadNextScrollMsg);
  }
}

void DataReceivedSpeedkey(TForm1& form, const RequestPacket& answer) {
  const auto record = RecordOf<SpeedkeyRecord>(answer);
  if (!record) return;
  if (answer.Direction == kDirectionRead) {
    // No speedkey upload exists: such an answer is only logged.
    NoteUploadAnswer(form, record->Number, record->Text);
    form.AddLog("- CompleteDataReceivedSpeedkey");
    if (form.Transfer.Direction == 0) form.DisconnectTerminal();
  } else if (answer.Direction == kDirectionWrite) {
    // The single speedkey record's acknowledgment ends the download as the
    // other kinds' last one does: the sender finds nothing left to send.
    Acknowledged(form, answer, record->Number, record->Text,
                 TextOf(record->Text, 101) + "DataReceivedSpeedkey", DownloadNextSpeedkey);
  }
}

void DataReceivedReportPLU(TForm1& form, const RequestPacket& answer) {
  ReportAnswer(form, answer, kCodeReportPlu,
               UploadKind<ReportPluRecord>{"- CompleteDataReceivedReportPLU", "UploadNextReportPLU",
                                           AddReportPLU, UploadNextReportPLU});
}

void DataReceivedReportTime(TForm1& form, const RequestPacket& answer) {
  ReportAnswer(
      form, answer, kCodeReportTime,
      UploadKind<ReportTotalRecord>{"- CompleteDataReceivedReportTime", "UploadNextReportTime",
                                    AddReportTime, UploadNextReportTime});
}

void DataReceivedReportGroup(TForm1& form, const RequestPacket& answer) {
  ReportAnswer(
      form, answer, kCodeReportGroup,
      UploadKind<ReportTotalRecord>{"- CompleteDataReceivedReportGroup", "UploadNextReportGroup",
                                    AddReportGroup, UploadNextReportGroup});
}

void DataReceivedReportDept(TForm1& form, const RequestPacket& answer) {
  ReportAnswer(
      form, answer, kCodeReportDept,
      UploadKind<ReportTotalRecord>{"- CompleteDataReceivedReportDept", "UploadNextReportDept",
                                    AddReportDept, UploadNextReportDept});
}

bool ReportLimitReached(TForm1&, int32_t number, uint8_t code) {
  int32_t count = 0;
  switch (code) {
    case 41:
      count = 100;
      break;
    case kCodeReportDept:
      count = 100;
      break;
    case kCodeReportGroup:
      count = 100;
      break;
    case kCodeReportTime:
      count = 24;
      break;
    case kCodeReportPlu:
      count = 10000;
      break;
    case 48:
      count = 32;
      break;
    case 49:
      count = 2;
      break;
    default:
      count = 0;
      break;
  }
  return number >= count;
}
