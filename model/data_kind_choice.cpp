// The choice of data kind and report type, the file-open dialog's pick, and
// the path of the download file that follows from them.
#include <initializer_list>

#include "model/program.h"
#include "records/data_kind_files.h"
#include "records/records.h"

namespace {

// Checks `chosen` and unchecks the rest of its group, as choosing a radio
// button does.
void Choose(TRadioButton& chosen, std::initializer_list<TRadioButton*> group) {
  for (TRadioButton* button : group) button->Checked = button == &chosen;
}

// ScaleID, Clerk and TaxRate are never enabled: no transfer serves them.
void EnableReportTypes(DataKindButtons& kinds, bool enable) {
  for (TRadioButton* button :
       {&kinds.PluReport, &kinds.TimeReport, &kinds.GroupReport, &kinds.DeptReport}) {
    button->Enabled = enable;
  }
  for (TRadioButton* button : {&kinds.ScaleIdReport, &kinds.ClerkReport, &kinds.TaxRateReport}) {
    button->Enabled = false;
  }
  Choose(kinds.PluReport,
         {&kinds.PluReport, &kinds.TimeReport, &kinds.GroupReport, &kinds.DeptReport,
          &kinds.ScaleIdReport, &kinds.ClerkReport, &kinds.TaxRateReport});
}

struct KindChoice {
  DataKind kind;
  TRadioButton DataKindButtons::*button;
  const DataKindFiles& files;
};

const KindChoice kChoices[] = {
    {DataKind::Plu, &DataKindButtons::Plu, kPluFiles},
    {DataKind::Barcode, &DataKindButtons::Barcode, kBarcodeFiles},
    {DataKind::Ingredient, &DataKindButtons::Ingredient, kIngredientFiles},
    {DataKind::ScrollMsg, &DataKindButtons::ScrollMsg, kScrollMsgFiles},
    {DataKind::Speedkey, &DataKindButtons::Speedkey, kSpeedkeyFiles},
    {DataKind::Report, &DataKindButtons::Report, kReportFiles},
};

}  // namespace

uint8_t DataKindButtons::DownloadCode() const {
  // In the order in which the buttons are looked at.
  if (Plu.Checked) return kCodePlu;
  if (Ingredient.Checked) return kCodeIngredient;
  if (Barcode.Checked) return kCodeBarcode;
  if (ScrollMsg.Checked) return kCodeScrollMsg;
  if (Speedkey.Checked) return kCodeSpeedkey;
  return 0;
}

uint8_t DataKindButtons::UploadCode() const {
  if (Plu.Checked) return kCodePlu;
  if (Barcode.Checked) return kCodeBarcode;
  if (Ingredient.Checked) return kCodeIngredient;
  if (ScrollMsg.Checked) return kCodeScrollMsg;
  if (!Report.Checked) return 0;
  if (PluReport.Checked) return kCodeReportPlu;
  if (TimeReport.Checked) return kCodeReportTime;
  if (GroupReport.Checked) return kCodeReportGroup;
  if (DeptReport.Checked) return kCodeReportDept;
  return 0;
}

void Program::ChooseDataKind(DataKind kind) {
  for (const KindChoice& choice : kChoices) {
    if (choice.kind != kind) continue;
    Choose(Kinds.*choice.button, {&Kinds.Plu, &Kinds.Barcode, &Kinds.Ingredient, &Kinds.ScrollMsg,
                                  &Kinds.Speedkey, &Kinds.Report});
    SendFileBox.Text = choice.files.downloadFile;
    UploadFileBox.Text = choice.files.uploadFile;
    // The Send File field now holds a bare name again, found in the program
    // folder, not a picked path.
    FileChosen = false;
    EnableReportTypes(Kinds, kind == DataKind::Report);
  }
}

void Program::ChooseSendFile(const std::string& path) {
  SendFileBox.Text = path;
  FileChosen = true;
}

std::string Program::DownloadFilePath() const {
  return FileChosen ? SendFileBox.Text : ProgramFolder + "/" + SendFileBox.Text;
}
