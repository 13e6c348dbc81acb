// The choice of data kind and report type, the file-open dialog's pick, and
// the path of the download file that follows from them.
#include <initializer_list>

#include "app/tform1.h"
#include "records/data_kind_files.h"

namespace {

// Checks `chosen` and unchecks the rest of its group, as choosing a radio
// button does.
void Choose(TRadioButton& chosen, std::initializer_list<TRadioButton*> group) {
  for (TRadioButton* button : group) button->Checked = button == &chosen;
}

void ChooseDataKind(TForm1& form, TRadioButton& chosen, const DataKindFiles& files,
                    bool reportTypes) {
  Choose(chosen, {&form.RadioButton1, &form.RadioButton2, &form.RadioButton11, &form.RadioButton12,
                  &form.RadioButton13, &form.RadioButton3});
  form.SendFileBox.Text = files.downloadFile;
  form.UploadFileBox.Text = files.uploadFile;
  // The Send File field now holds a bare name again, found in the program
  // folder, not a picked path.
  form.FileChosen = false;
  form.EnableReportTypes(reportTypes);
}

}  // namespace

void TForm1::RadioButton1Click() {
  ChooseDataKind(*this, RadioButton1, kPluFiles, false);
}

void TForm1::RadioButton2Click() {
  ChooseDataKind(*this, RadioButton2, kBarcodeFiles, false);
}

void TForm1::RadioButton11Click() {
  ChooseDataKind(*this, RadioButton11, kIngredientFiles, false);
}

void TForm1::RadioButton12Click() {
  ChooseDataKind(*this, RadioButton12, kScrollMsgFiles, false);
}

void TForm1::RadioButton13Click() {
  ChooseDataKind(*this, RadioButton13, kSpeedkeyFiles, false);
}

void TForm1::RadioButton3Click() {
  ChooseDataKind(*this, RadioButton3, kReportFiles, true);
}

// ScaleID, Clerk and TaxRate are never enabled: no transfer serves them.
void TForm1::EnableReportTypes(bool enable) {
  for (TRadioButton* button : {&RadioButton4, &RadioButton5, &RadioButton6, &RadioButton7}) {
    button->Enabled = enable;
  }
  for (TRadioButton* button : {&RadioButton8, &RadioButton9, &RadioButton10}) {
    button->Enabled = false;
  }
  Choose(RadioButton4, {&RadioButton4, &RadioButton5, &RadioButton6, &RadioButton7, &RadioButton8,
                        &RadioButton9, &RadioButton10});
}

void TForm1::FileOpen1Accept(const std::string& path) {
  SendFileBox.Text = path;
  FileChosen = true;
}

std::string TForm1::DownloadFilePath() const {
  return FileChosen ? SendFileBox.Text : ProgramFolder + "/" + SendFileBox.Text;
}
