#include "window/receive_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

#include "records/record_kinds.h"
#include "window/local_text.h"

namespace {

// "PLU records", ..., "Department report".
QString Caption(const RecordKind& kind) {
  return kind.report ? QString(kind.label) : QString(kind.label) + " records";
}

}  // namespace

ReceiveDialog::ReceiveDialog(QWidget* parent, const std::string& folder,
                             const std::string& selected, const std::optional<ReceiveOrder>& last)
    : QDialog(parent) {
  setObjectName("ReceiveDialog");
  setWindowTitle("Receive");
  KindBox = new QComboBox(this);
  KindBox->setObjectName("KindBox");
  for (const RecordKind& kind : RecordKinds()) {
    if (kind.received) KindBox->addItem(Caption(kind), kind.code);
  }
  SelectedButton = new QRadioButton(
      "The selected terminal (" + (selected.empty() ? "none" : ShownText(selected)) + ")", this);
  SelectedButton->setEnabled(!selected.empty());
  SelectedButton->setObjectName("SelectedButton");
  TickedButton = new QRadioButton("Every ticked terminal", this);
  TickedButton->setObjectName("TickedButton");
  TickedButton->setChecked(true);
  FolderBox = new QLineEdit(ShownText(folder), this);
  FolderBox->setObjectName("FolderBox");
  BrowseButton = new QPushButton("Browse\u2026", this);
  BrowseButton->setObjectName("BrowseButton");
  connect(BrowseButton, &QPushButton::clicked, this, &ReceiveDialog::Browse);
  connect(FolderBox, &QLineEdit::textChanged, this, &ReceiveDialog::FitFolder);
  if (last) ShowChoices(*last);
  FitFolder();

  auto* from = new QVBoxLayout;
  from->addWidget(SelectedButton);
  from->addWidget(TickedButton);
  auto* where = new QHBoxLayout;
  where->addWidget(FolderBox, 1);
  where->addWidget(BrowseButton);
  auto* form = new QFormLayout;
  form->addRow("What:", KindBox);
  form->addRow("From:", from);
  form->addRow("Into folder:", where);
  Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* column = new QVBoxLayout(this);
  column->addLayout(form);
  column->addWidget(Buttons);
}

ReceiveOrder ReceiveDialog::Order() const {
  ReceiveOrder order;
  order.from =
      SelectedButton->isChecked() ? ReceiveOrder::From::Selected : ReceiveOrder::From::Ticked;
  order.code = static_cast<uint8_t>(KindBox->currentData().toUInt());
  order.folder = CoreText(FolderBox->text());
  return order;
}

void ReceiveDialog::ShowChoices(const ReceiveOrder& last) {
  const int kind = KindBox->findData(last.code);
  if (kind >= 0) KindBox->setCurrentIndex(kind);
  if (last.from == ReceiveOrder::From::Selected && SelectedButton->isEnabled()) {
    SelectedButton->setChecked(true);
  }
  if (!last.folder.empty()) FolderBox->setText(ShownText(last.folder));
}

void ReceiveDialog::FitFolder() {
  constexpr int kFrame = 16;  // the line edit's frame and margins
  const int widest = screen()->availableGeometry().width() * 2 / 3;
  const int text = FolderBox->fontMetrics().horizontalAdvance(FolderBox->text()) + kFrame;
  FolderBox->setMinimumWidth(std::min(std::max(text, 240), widest));
  FolderBox->setToolTip(FolderBox->text());
  adjustSize();
}

void ReceiveDialog::Browse() {
  QFileDialog dialog(this, "Receive Into Folder", FolderBox->text());
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
    FolderBox->setText(dialog.selectedFiles().front());
  }
}
