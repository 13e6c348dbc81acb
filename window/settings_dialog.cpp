#include "window/settings_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QSpinBox* NumberBox(QWidget* parent, const char* name, const NumberKey& key, int value,
                    const QString& suffix) {
  auto* box = new QSpinBox(parent);
  box->setObjectName(name);
  box->setRange(key.min, key.max);
  box->setValue(value);
  box->setSuffix(suffix);
  box->setGroupSeparatorShown(false);
  return box;
}

}  // namespace

SettingsDialog::SettingsDialog(QWidget* parent, const CycleOptions& shown) : QDialog(parent) {
  setObjectName("SettingsDialog");
  setWindowTitle("Settings");
  ParallelBox = NumberBox(this, "ParallelBox", kParallelKey, shown.parallel, "");
  PauseBox = NumberBox(this, "PauseBox", kPauseKey, shown.pauseMs, " ms");
  AnswerTimeoutBox =
      NumberBox(this, "AnswerTimeoutBox", kAnswerTimeoutKey, shown.answerTimeoutMs, " ms");
  auto* form = new QFormLayout;
  form->addRow("Terminals served at once:", ParallelBox);
  form->addRow("Pause before each connect:", PauseBox);
  form->addRow("Answer time-out:", AnswerTimeoutBox);
  Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* column = new QVBoxLayout(this);
  column->addLayout(form);
  column->addWidget(Buttons);
}

CycleOptions SettingsDialog::Options() const {
  return {ParallelBox->value(), PauseBox->value(), AnswerTimeoutBox->value()};
}
