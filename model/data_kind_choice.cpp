// The choice of data kind and report type, the file-open dialog's pick, and
// the path of the download file that follows from them.
#include "model/program.h"
#include "records/data_kind_files.h"
#include "records/records.h"

namespace {

struct KindFiles {
  DataKind kind;
  const DataKindFiles& files;
};

const KindFiles kKindFiles[] = {
    {DataKind::Plu, kPluFiles},
    {DataKind::Barcode, kBarcodeFiles},
    {DataKind::Ingredient, kIngredientFiles},
    {DataKind::ScrollMsg, kScrollMsgFiles},
    {DataKind::Speedkey, kSpeedkeyFiles},
    {DataKind::Report, kReportFiles},
};

uint8_t ReportCode(ReportType type) {
  switch (type) {
    case ReportType::Plu:
      return kCodeReportPlu;
    case ReportType::Time:
      return kCodeReportTime;
    case ReportType::Group:
      return kCodeReportGroup;
    case ReportType::Dept:
      return kCodeReportDept;
  }
  return 0;
}

}  // namespace

uint8_t KindChoice::DownloadCode() const {
  switch (kind) {
    case DataKind::Plu:
      return kCodePlu;
    case DataKind::Ingredient:
      return kCodeIngredient;
    case DataKind::Barcode:
      return kCodeBarcode;
    case DataKind::ScrollMsg:
      return kCodeScrollMsg;
    case DataKind::Speedkey:
      return kCodeSpeedkey;
    case DataKind::Report:
      return 0;
  }
  return 0;
}

uint8_t KindChoice::UploadCode() const {
  if (kind == DataKind::Report) return report ? ReportCode(*report) : 0;
  // The speedkeys are only sent.
  return kind == DataKind::Speedkey ? 0 : DownloadCode();
}

const char* KindDownloadFile(DataKind kind) {
  for (const KindFiles& choice : kKindFiles) {
    if (choice.kind == kind) return choice.files.downloadFile;
  }
  return "";
}

const char* KindUploadFile(DataKind kind) {
  for (const KindFiles& choice : kKindFiles) {
    if (choice.kind == kind) return choice.files.uploadFile;
  }
  return "";
}

void Program::ChooseDataKind(DataKind kind) {
  for (const KindFiles& choice : kKindFiles) {
    if (choice.kind != kind) continue;
    kind_ = {kind, ReportType::Plu};
    sendFile_ = choice.files.downloadFile;
    uploadFile_ = choice.files.uploadFile;
    // The send file is a bare name again, found in the program folder, not a picked path.
    fileChosen_ = false;
  }
}

void Program::ChooseSendFile(const std::string& path) {
  sendFile_ = path;
  fileChosen_ = true;
}

std::string Program::DownloadFilePath() const {
  return fileChosen_ ? sendFile_ : programFolder_ + "/" + sendFile_;
}

std::string Program::DownloadFileOf(DataKind kind) const {
  return programFolder_ + "/" + KindDownloadFile(kind);
}
