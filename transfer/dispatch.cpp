// Answers from a terminal: each is handed to the handler of its data type
// code, which writes an uploaded record and asks for the next, sends the next
// record of a download, or ends the transfer.
#include "transfer/dispatch.h"

#include <cstring>
#include <optional>
#include <string>

#include "app/tform1.h"
#include "transfer/download.h"
#include "transfer/records.h"
#include "transfer/status_code.h"
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

// An answer to an upload request: a record numbered 0 with status "99" is
// not data; every other record becomes a line of the upload file.
template <class Record, std::size_t N>
bool WriteUnlessEnd(TForm1& form, const Record& record, uint32_t number,
                    const char (&statusText)[N], const char* completionLine,
                    void (*writeLine)(TForm1&, const Record*)) {
  if (NoteUploadAnswer(form, number, statusText) == "99") {
    form.AddLog(completionLine);
  } else {
    writeLine(form, &record);
  }
  return form.Transfer.Direction == 0;
}

template <class Record, std::size_t N>
void UploadAnswer(TForm1& form, const Record& record, uint32_t number, const char (&statusText)[N],
                  const char* completionLine, void (*writeLine)(TForm1&, const Record*),
                  void (*requestNext)(TForm1&, int)) {
  if (WriteUnlessEnd(form, record, number, statusText, completionLine, writeLine)) {
    form.DisconnectTerminal();
  } else {
    requestNext(form, 1);
  }
}

// A report also ends when its record count is reached.
template <class Record>
void ReportAnswer(TForm1& form, const RequestPacket& answer, uint8_t reportCode,
                  const char* completionLine, void (*writeLine)(TForm1&, const Record*),
                  void (*requestNext)(TForm1&, int)) {
  if (answer.Direction != kDirectionRead) return;
  const auto record = RecordOf<Record>(answer);
  if (!record) return;
  const uint32_t number = record->Number;
  if (WriteUnlessEnd(form, *record, number, record->Text, completionLine, writeLine)) {
    form.DisconnectTerminal();
  } else if (ReportLimitReached(form, static_cast<int32_t>(number + 1), reportCode)) {
    form.AddLog(completionLine);
    form.DisconnectTerminal();
  } else {
    requestNext(form, 1);
  }
}

// The acknowledgment of a downloaded record sends the next one, unless the
// transfer has been ended meanwhile, or the terminal did not take the record:
// it then answers under another number than the one sent.
void Acknowledged(TForm1& form, const RequestPacket& answer, uint32_t number,
                  const std::optional<std::string>& logged, void (*sendNext)(TForm1&, int)) {
  form.Transfer.AnswerNumber = number;
  if (logged) form.AddLog(*logged);
  if (form.Transfer.Direction == 0) {
    form.CloseUploadFile();
  } else if (number != form.Transfer.RecordNumber) {
    DownloadRefused(form, answer.Code);
  } else {
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
    UploadAnswer(form, *record, number, record->Text, "- CompleteDataReceivedPLU", AddPlu,
                 UploadNextPLU);
  } else if (answer.Direction == kDirectionWrite) {
    Acknowledged(form, answer, number, std::nullopt, DownloadNextPLU);
  }
}

void DataReceivedBarcode(TForm1& form, const RequestPacket& answer) {
  const auto record = RecordOf<BarcodeRecord>(answer);
  if (!record) return;
  if (answer.Direction == kDirectionRead) {
    UploadAnswer(form, *record, record->Number, record->Text2, "- CompleteDataReceivedBarcode",
                 AddBarcode, UploadNextBarcode);
  } else if (answer.Direction == kDirectionWrite) {
    Acknowledged(form, answer, record->Number, TextOf(record->Text2, 101) + "DataReceivedBarcode",
                 DownloadNextBarcode);
  }
}

void DataReceivedIngredient(TForm1& form, const RequestPacket& answer) {
  const auto record = RecordOf<IngredientRecord>(answer);
  if (!record) return;
  if (answer.Direction == kDirectionRead) {
    UploadAnswer(form, *record, record->Number, record->Text, "- CompleteDataReceivedIngredient",
                 AddIngredient, UploadNextIngredient);
  } else if (answer.Direction == kDirectionWrite) {
    Acknowledged(form, answer, record->Number,
                 TextOf(record->Text, 1025) + "DataReceivedIngredient", DownloadNextIngredient);
  }
}

void DataReceivedScrollMsg(TForm1& form, const RequestPacket& answer) {
  const auto record = RecordOf<ScrollMsgRecord>(answer);
  if (!record) return;
  if (answer.Direction == kDirectionRead) {
    UploadAnswer(form, *record, record->Number, record->Text1, "- CompleteDataReceivedScrollMsg",
                 AddScrollMsg, UploadNextScrollMsg);
  } else if (answer.Direction == kDirectionWrite) {
    Acknowledged(form, answer, record->Number, TextOf(record->Text2, 101) + "DataReceivedScrollMsg",
                 DownloadNextScrollMsg);
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
    Acknowledged(form, answer, record->Number, TextOf(record->Text, 101) + "DataReceivedSpeedkey",
                 DownloadNextSpeedkey);
  }
}

void DataReceivedReportPLU(TForm1& form, const RequestPacket& answer) {
  ReportAnswer<ReportPluRecord>(form, answer, kCodeReportPlu, "- CompleteDataReceivedReportPLU",
                                AddReportPLU, UploadNextReportPLU);
}

void DataReceivedReportTime(TForm1& form, const RequestPacket& answer) {
  ReportAnswer<ReportTotalRecord>(form, answer, kCodeReportTime, "- CompleteDataReceivedReportTime",
                                  AddReportTime, UploadNextReportTime);
}

void DataReceivedReportGroup(TForm1& form, const RequestPacket& answer) {
  ReportAnswer<ReportTotalRecord>(form, answer, kCodeReportGroup,
                                  "- CompleteDataReceivedReportGroup", AddReportGroup,
                                  UploadNextReportGroup);
}

void DataReceivedReportDept(TForm1& form, const RequestPacket& answer) {
  ReportAnswer<ReportTotalRecord>(form, answer, kCodeReportDept, "- CompleteDataReceivedReportDept",
                                  AddReportDept, UploadNextReportDept);
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
