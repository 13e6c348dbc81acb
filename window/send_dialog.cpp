#include "window/send_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTableView>
#include <QVBoxLayout>

#include "model/program.h"
#include "records/record_kinds.h"
#include "window/local_text.h"
#include "window/send_plan_table.h"

namespace {

template <class Widget>
Widget* Named(Widget* widget, const char* name) {
  widget->setObjectName(name);
  return widget;
}

}  // namespace

SendDialog::SendDialog(QWidget* parent, Program& program, OpenFileDialog browse)
    : QDialog(parent), program_(program), browse_(std::move(browse)) {
  setObjectName("SendDialog");
  setWindowTitle("Send");
  KindBox = Named(new QComboBox(this), "KindBox");
  for (const RecordKind& kind : RecordKinds()) {
    if (kind.writable) KindBox->addItem(QString(kind.label) + " records", kind.code);
  }
  KindBox->setCurrentIndex(KindBox->findData(CodeOf(program.Kind().kind)));
  FileBox = Named(new QLineEdit(ShownText(program.DownloadFileOf(ChosenKind())), this), "FileBox");
  BrowseButton = Named(new QPushButton("&Browse\u2026", this), "BrowseButton");
  SelectedButton = Named(new QRadioButton("The &selected terminal", this), "SelectedButton");
  SelectedButton->setEnabled(program.Terminals().Selected() >= 0);
  TickedButton = Named(new QRadioButton("Every &ticked terminal", this), "TickedButton");
  TickedButton->setChecked(true);
  ChangesBox = Named(new QCheckBox("Only what &changed", this), "ChangesBox");
  ChangesBox->setChecked(program.AnythingHeld());
  DeleteBox = Named(new QCheckBox("&Delete what the file no longer has", this), "DeleteBox");
  DeleteBox->setEnabled(ChangesBox->isChecked());
  Plan = new SendPlanTable(this);
  PlanView = Named(new QTableView(this), "PlanView");
  PlanView->setModel(Plan);
  PlanView->setSelectionMode(QAbstractItemView::NoSelection);
  PlanView->verticalHeader()->hide();
  PlanView->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  // The address takes the room left; the figures stand side by side.
  PlanView->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  PlanView->horizontalHeader()->setSectionResizeMode(SendPlanTable::Terminal, QHeaderView::Stretch);
  PlanNote = Named(new QLabel(this), "PlanNote");
  PlanNote->setWordWrap(true);
  Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  BuildLayout();

  connect(KindBox, &QComboBox::currentIndexChanged, this, &SendDialog::KindChosen);
  connect(FileBox, &QLineEdit::textChanged, this, &SendDialog::ShowPlan);
  connect(BrowseButton, &QPushButton::clicked, this, &SendDialog::Browse);
  connect(TickedButton, &QRadioButton::toggled, this, &SendDialog::ShowPlan);
  connect(ChangesBox, &QCheckBox::toggled, this, [this](bool changes) {
    // What the file no longer has is deleted only from what a changes send knows.
    if (!changes) DeleteBox->setChecked(false);
    DeleteBox->setEnabled(changes);
    ShowPlan();
  });
  connect(DeleteBox, &QCheckBox::toggled, this, &SendDialog::ShowPlan);
  connect(Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  ShowPlan();
}

void SendDialog::BuildLayout() {
  auto* file = new QHBoxLayout;
  file->addWidget(FileBox, 1);
  file->addWidget(BrowseButton);
  auto* to = new QVBoxLayout;
  to->addWidget(SelectedButton);
  to->addWidget(TickedButton);
  auto* how = new QVBoxLayout;
  how->addWidget(ChangesBox);
  how->addWidget(DeleteBox);
  auto* form = new QFormLayout;
  form->addRow("What:", KindBox);
  form->addRow("From file:", file);
  form->addRow("To:", to);
  form->addRow("Send:", how);
  auto* column = new QVBoxLayout(this);
  column->addLayout(form);
  column->addWidget(new QLabel("What each terminal is sent:", this));
  column->addWidget(PlanView, 1);
  column->addWidget(PlanNote);
  column->addWidget(Buttons);
  resize(540, 400);
}

SendOrder SendDialog::Order() const {
  return SendOrder{ChosenKind(), CoreText(FileBox->text()), TargetEntries(program_, ChosenTarget()),
                   {},           ChangesBox->isChecked(),   DeletesMissing()};
}

DataKind SendDialog::ChosenKind() const {
  const auto code = static_cast<uint8_t>(KindBox->currentData().toUInt());
  return KindChoiceOfCode(code).value_or(KindChoice{}).kind;
}

SendTarget SendDialog::ChosenTarget() const {
  return SelectedButton->isChecked() ? SendTarget::Selected : SendTarget::Ticked;
}

bool SendDialog::DeletesMissing() const {
  return ChangesBox->isChecked() && DeleteBox->isChecked();
}

void SendDialog::KindChosen() {
  const QSignalBlocker quiet(FileBox);
  FileBox->setText(ShownText(program_.DownloadFileOf(ChosenKind())));
  ShowPlan();
}

void SendDialog::Browse() {
  if (const std::optional<QString> path = browse_(this, FileBox->text())) FileBox->setText(*path);
}

void SendDialog::ShowPlan() {
  const PlanOrder order{ChosenKind(),
                        CoreText(FileBox->text()),
                        TargetEntries(program_, ChosenTarget()),
                        {},
                        DeletesMissing()};
  SendPlan plan;
  program_.HandleEvent([&] { plan = program_.Plan(order); });
  Plan->Show(plan, ChangesBox->isChecked());
  PlanView->clearSpans();
  for (int row = 0; row < Plan->rowCount(); ++row) {
    if (Plan->WholeFile(row)) PlanView->setSpan(row, SendPlanTable::New, 1, 4);
  }
  PlanNote->setText(ShownText(plan.error.empty() ? plan.heldProblem : plan.error));
}
