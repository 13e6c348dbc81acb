// The choice of data kind and report type, the file-open dialog's pick, and
// the path of the download file that follows from them.
#include "model/program.h"
#include "records/record_kinds.h"
#include "records/records.h"

namespace {

constexpr DataKind kDataKinds[] = {DataKind::Plu,       DataKind::Barcode,  DataKind::Ingredient,
                                   DataKind::ScrollMsg, DataKind::Speedkey, DataKind::Report};
constexpr ReportType kReportTypes[] = {ReportType::Plu, ReportType::Time, ReportType::Group,
                                       ReportType::Dept};

// The record kind whose files a choice of `kind` names: the reports' are
// those of the PLU report, the first of them.
const RecordKind& FilesKind(DataKind kind) {
  return *KindOfCode(kind == DataKind::Report ? CodeOf(ReportType::Plu) : CodeOf(kind));
}

}  // namespace

uint8_t CodeOf(DataKind kind) {
  switch (kind) {
    case DataKind::Plu:
      return kCodePlu;
    case DataKind::Barcode:
      return kCodeBarcode;
    case DataKind::Ingredient:
      return kCodeIngredient;
    case DataKind::ScrollMsg:
      return kCodeScrollMsg;
    case DataKind::Speedkey:
      return kCodeSpeedkey;
    case DataKind::Report:
      return 0;
  }
  return 0;
}

uint8_t CodeOf(ReportType type) {
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

std::optional<KindChoice> KindChoiceOfCode(uint8_t code) {
  if (code == 0) return std::nullopt;
  for (const DataKind kind : kDataKinds) {
    if (CodeOf(kind) == code) return KindChoice{kind, ReportType::Plu};
  }
  for (const ReportType type : kReportTypes) {
    if (CodeOf(type) == code) return KindChoice{DataKind::Report, type};
  }
  return std::nullopt;
}

uint8_t KindChoice::DownloadCode() const {
  const RecordKind* chosen = KindOfCode(CodeOf(kind));
  return chosen && chosen->writable ? chosen->code : 0;
}

uint8_t KindChoice::UploadCode() const {
  if (kind == DataKind::Report) return report ? CodeOf(*report) : 0;
  // The speedkeys are only sent: no receive writes them into a file.
  const RecordKind* chosen = KindOfCode(CodeOf(kind));
  return chosen && chosen->received ? chosen->code : 0;
}

const char* KindDownloadFile(DataKind kind) {
  return FilesKind(kind).downloadFile;
}

const char* KindUploadFile(DataKind kind) {
  return FilesKind(kind).uploadFile;
}

void Program::ChooseDataKind(DataKind kind) {
  kind_ = {kind, ReportType::Plu};
  sendFile_ = KindDownloadFile(kind);
  uploadFile_ = KindUploadFile(kind);
  // The send file is a bare name again, found in the program folder, not a picked path.
  fileChosen_ = false;
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
