// Uploads: the requests that ask a terminal for one record at a time; each
// answer's handler asks for the next one through them.
#include <filesystem>
#include <string>

#include "records/record_numbers.h"
#include "records/records.h"
#include "session/request.h"
#include "session/terminal_session.h"
#include "session/upload.h"
#include "session/upload_file.h"

namespace {

// Sends one read request and logs its outcome (a Read, which writes no line
// per record, logs only a failure).
template <class Record>
void Request(TerminalSession& session, uint8_t code, const Record& record,
             const std::string& name) {
  if (SendRequest(session, code, kDirectionRead, &record, sizeof record) == RequestOutcome::Sent) {
    if (session.WritesLines()) session.Log("- Success to Send data" + name);
  } else {
    session.Log("- Fail to Send data" + name);
  }
}

// An upload starts at record 1. A Read asks for every record the terminal
// holds, so it starts at the lowest number a record of the kind can have:
// records that other software stored at 0 (or, for PLU, below it) are seen
// too, though no download file holds them.
bool FromLowest(const TerminalSession& session) {
  return !session.WritesLines();
}

// Barcode, ingredient and scroll message uploads ask for the record after the
// one the terminal last answered with.
uint16_t AfterAnswer(const TerminalSession& session, int flag) {
  if (flag == 0) return FromLowest(session) ? 0 : 1;
  return static_cast<uint16_t>((session.Transfer().AnswerNumber & 0xFFFF) + 1);
}

// A numbered upload kind other than PLU: only `Number` is set in the request.
template <class Record>
void RequestNumbered(TerminalSession& session, uint8_t code, uint16_t number,
                     const std::string& name) {
  Record record{};
  record.Number = number;
  session.State().RecordNumber = number;
  Request(session, code, record, name);
}

// Reports count on from their own last request.
template <class Record>
void RequestReport(TerminalSession& session, uint8_t code, int flag, const std::string& name) {
  const uint16_t number = flag == 0
                              ? static_cast<uint16_t>(ReportFirstNumber(code))
                              : static_cast<uint16_t>((session.State().RecordNumber & 0xFFFF) + 1);
  RequestNumbered<Record>(session, code, number, name);
}

}  // namespace

void UploadNextPLU(TerminalSession& session, int flag) {
  // As the other kinds: the record after the one the terminal last answered
  // with, so that numbers the terminal does not hold are never asked for.
  const uint32_t first = FromLowest(session) ? static_cast<uint32_t>(kLowestPluNumber) : 1;
  const uint32_t number = flag == 0 ? first : session.State().AnswerNumber + 1;
  PluRecord record{};
  record.Field1 = 1;
  record.PluNo = static_cast<int32_t>(number);
  session.State().RecordNumber = number;
  Request(session, kCodePlu, record, "UploadNextPLU");
}

void UploadNextBarcode(TerminalSession& session, int flag) {
  RequestNumbered<BarcodeRecord>(session, kCodeBarcode, AfterAnswer(session, flag),
                                 "UploadNextBarcode");
}

void UploadNextIngredient(TerminalSession& session, int flag) {
  RequestNumbered<IngredientRecord>(session, kCodeIngredient, AfterAnswer(session, flag),
                                    "UploadNextIngredient");
}

void UploadNextScrollMsg(TerminalSession& session, int flag) {
  RequestNumbered<ScrollMsgRecord>(session, kCodeScrollMsg, AfterAnswer(session, flag),
                                   "UploadNextScrollMsg");
}

void UploadNextSpeedkey(TerminalSession& session, int flag) {
  // A terminal holds one speedkey record: it is asked for once.
  if (flag == 0) RequestNumbered<SpeedkeyRecord>(session, kCodeSpeedkey, 1, "UploadNextSpeedkey");
}

void UploadNextReportPLU(TerminalSession& session, int flag) {
  RequestReport<ReportPluRecord>(session, kCodeReportPlu, flag, "UploadNextReportPLU");
}

void UploadNextReportTime(TerminalSession& session, int flag) {
  RequestReport<ReportTotalRecord>(session, kCodeReportTime, flag, "UploadNextReportTime");
}

void UploadNextReportGroup(TerminalSession& session, int flag) {
  RequestReport<ReportTotalRecord>(session, kCodeReportGroup, flag, "UploadNextReportGroup");
}

void UploadNextReportDept(TerminalSession& session, int flag) {
  RequestReport<ReportTotalRecord>(session, kCodeReportDept, flag, "UploadNextReportDept");
}

void UploadNext(TerminalSession& session, uint8_t code, int flag) {
  static constexpr struct {
    uint8_t code;
    void (*request)(TerminalSession&, int);
  } kRequests[] = {
      {kCodePlu, UploadNextPLU},
      {kCodeBarcode, UploadNextBarcode},
      {kCodeIngredient, UploadNextIngredient},
      {kCodeScrollMsg, UploadNextScrollMsg},
      {kCodeSpeedkey, UploadNextSpeedkey},
      {kCodeReportPlu, UploadNextReportPLU},
      {kCodeReportTime, UploadNextReportTime},
      {kCodeReportGroup, UploadNextReportGroup},
      {kCodeReportDept, UploadNextReportDept},
  };
  for (const auto& request : kRequests) {
    if (request.code == code) return request.request(session, flag);
  }
}

int ReportFirstNumber(uint8_t reportCode) {
  // The department report counts from 1, the others from 0.
  return reportCode == kCodeReportDept ? 1 : 0;
}
