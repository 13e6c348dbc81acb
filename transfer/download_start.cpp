#include "transfer/download_start.h"

#include <string>

#include "app/tform1.h"
#include "records/download_files.h"
#include "records/record_tables.h"
#include "text/terminal_port.h"
#include "transfer/download.h"

namespace {

struct DownloadKind {
  TRadioButton TForm1::*button;
  DownloadFileRead (*read)(const std::string&);
  void (*send)(TForm1&, int);
};

// In the order in which the data kind buttons are looked at.
const DownloadKind kKinds[] = {
    {&TForm1::RadioButton1, ReadPluFile, DownloadNextPLU},
    {&TForm1::RadioButton11, ReadIngredientFile, DownloadNextIngredient},
    {&TForm1::RadioButton2, ReadBarcodeFile, DownloadNextBarcode},
    {&TForm1::RadioButton12, ReadScrollMsgFile, DownloadNextScrollMsg},
    {&TForm1::RadioButton13, ReadSpeedkeyFile, DownloadNextSpeedkey},
};

// The kind whose file is in the tables, or none (the Report kind, or a
// refused file).
const DownloadKind* prepared = nullptr;

const DownloadKind* ChosenKind(const TForm1& form) {
  for (const DownloadKind& kind : kKinds) {
    if ((form.*kind.button).Checked) return &kind;
  }
  return nullptr;
}

}  // namespace

bool PrepareDownload(TForm1& form) {
  prepared = nullptr;
  DownloadTotal = 0;
  if (!ParsePort(form.PortBox.Text)) {
    form.View.ShowError(BadPortMessage(form.PortBox.Text));
    return false;
  }
  const DownloadKind* kind = ChosenKind(form);
  if (!kind) return true;
  const std::string path = form.DownloadFilePath();
  const DownloadFileRead read = kind->read(path);
  if (read.error) {
    form.View.ShowError(read.error->Describe(path));
    return false;
  }
  DownloadTotal = read.records;
  prepared = kind;
  return true;
}

void StartPreparedDownload(TForm1& form) {
  if (prepared) {
    prepared->send(form, 0);
  } else if (form.CycleMode == "SEND") {
    form.DisconnectTerminal();
  }
}
