// Uploads: the Upload action opens the upload file and asks for the first
// record; each answer's handler asks for the next one through these requests.
#include <filesystem>
#include <string>

#include "app/tform1.h"
#include "link/request.h"
#include "link/upload_file.h"
#include "records/records.h"
#include "transfer/upload.h"

namespace {

// Sends one read request and logs its outcome.
template <class Record>
void Request(TForm1& form, uint8_t code, const Record& record, const std::string& name) {
  if (SendRequest(form, code, kDirectionRead, &record, sizeof record) == RequestOutcome::Sent) {
    form.AddLog("- Success to Send data" + name);
  } else {
    form.AddLog("- Fail to Send data" + name);
  }
}

// Barcode, ingredient and scroll message uploads ask for the record after the
// one the terminal last answered with.
uint16_t AfterAnswer(const TForm1& form, int flag) {
  return flag == 0 ? 1 : static_cast<uint16_t>((form.Transfer.AnswerNumber & 0xFFFF) + 1);
}

// A numbered upload kind other than PLU: only `Number` is set in the request.
template <class Record>
void RequestNumbered(TForm1& form, uint8_t code, uint16_t number, const std::string& name) {
  Record record{};
  record.Number = number;
  form.Transfer.RecordNumber = number;
  Request(form, code, record, name);
}

// Reports count on from their own last request.
template <class Record>
void RequestReport(TForm1& form, uint8_t code, int flag, const std::string& name) {
  const uint16_t number = flag == 0
                              ? static_cast<uint16_t>(ReportFirstNumber(form, 5010, code))
                              : static_cast<uint16_t>((form.Transfer.RecordNumber & 0xFFFF) + 1);
  RequestNumbered<Record>(form, code, number, name);
}

}  // namespace

void UploadNextPLU(TForm1& form, int flag) {
  // As the other kinds: the record after the one the terminal last answered
  // with, so that numbers the terminal does not hold are never asked for.
  const uint32_t number = flag == 0 ? 1 : form.Transfer.AnswerNumber + 1;
  PluRecord record{};
  record.Field1 = 1;
  record.PluNo = static_cast<int32_t>(number);
  form.Transfer.RecordNumber = number;
  Request(form, kCodePlu, record, "UploadNextPLU");
}

void UploadNextBarcode(TForm1& form, int flag) {
  RequestNumbered<BarcodeRecord>(form, kCodeBarcode, AfterAnswer(form, flag), "UploadNextBarcode");
}

void UploadNextIngredient(TForm1& form, int flag) {
  RequestNumbered<IngredientRecord>(form, kCodeIngredient, AfterAnswer(form, flag),
                                    "UploadNextIngredient");
}

void UploadNextScrollMsg(TForm1& form, int flag) {
  RequestNumbered<ScrollMsgRecord>(form, kCodeScrollMsg, AfterAnswer(form, flag),
                                   "UploadNextScrollMsg");
}

void UploadNextReportPLU(TForm1& form, int flag) {
  RequestReport<ReportPluRecord>(form, kCodeReportPlu, flag, "UploadNextReportPLU");
}

void UploadNextReportTime(TForm1& form, int flag) {
  RequestReport<ReportTotalRecord>(form, kCodeReportTime, flag, "UploadNextReportTime");
}

void UploadNextReportGroup(TForm1& form, int flag) {
  RequestReport<ReportTotalRecord>(form, kCodeReportGroup, flag, "UploadNextReportGroup");
}

void UploadNextReportDept(TForm1& form, int flag) {
  RequestReport<ReportTotalRecord>(form, kCodeReportDept, flag, "UploadNextReportDept");
}

int ReportFirstNumber(TForm1&, int interpreterId, uint8_t reportCode) {
  const bool startsAtOne = reportCode == kCodeReportDept || reportCode == '0' || reportCode == '1';
  return interpreterId == 5010 && startsAtOne ? 1 : 0;
}

void TForm1::Action3Execute() {
  Transfer = TransferState{};
  Transfer.Direction = kDirectionRead;
  if (!UploadFileBox.Text.empty()) {
    CloseUploadFile();
    // Made in the current directory; a full path is taken as it stands.
    OpenUploadFile =
        UploadFile::Create((std::filesystem::current_path() / UploadFileBox.Text).string());
  }
  if (RadioButton1.Checked) {
    UploadNextPLU(*this, 0);
  } else if (RadioButton2.Checked) {
    UploadNextBarcode(*this, 0);
  } else if (RadioButton11.Checked) {
    UploadNextIngredient(*this, 0);
  } else if (RadioButton12.Checked) {
    UploadNextScrollMsg(*this, 0);
  } else if (RadioButton3.Checked) {
    if (RadioButton4.Checked) {
      UploadNextReportPLU(*this, 0);
    } else if (RadioButton5.Checked) {
      UploadNextReportTime(*this, 0);
    } else if (RadioButton6.Checked) {
      UploadNextReportGroup(*this, 0);
    } else if (RadioButton7.Checked) {
      UploadNextReportDept(*this, 0);
    }
  }
}
