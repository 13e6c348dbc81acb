#include "window/settings_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "window/local_text.h"

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

// The character sets of the terminals most shops have; any other name iconv
// knows may be typed.
const char* const kCommonCodePages[] = {"windows-1252", "ISO-8859-1",   "ISO-8859-2", "ISO-8859-15",
                                        "windows-1250", "windows-1251", "CP437",      "none"};

QComboBox* CodePageChoice(QWidget* parent, const CodePage& shown) {
  auto* box = new QComboBox(parent);
  box->setObjectName("CodePageBox");
  box->setEditable(true);
  box->setInsertPolicy(QComboBox::NoInsert);
  for (const char* name : kCommonCodePages) box->addItem(name);
  box->setEditText(ShownText(shown.Name()));
  return box;
}

}  // namespace

SettingsDialog::SettingsDialog(QWidget* parent, const CycleOptions& shown,
                               const CodePage& shownCodePage)
    : QDialog(parent), shownCodePage_(shownCodePage) {
  setObjectName("SettingsDialog");
  setWindowTitle("Settings");
  ParallelBox = NumberBox(this, "ParallelBox", kParallelKey, shown.parallel, "");
  PauseBox = NumberBox(this, "PauseBox", kPauseKey, shown.pauseMs, " ms");
  AnswerTimeoutBox =
      NumberBox(this, "AnswerTimeoutBox", kAnswerTimeoutKey, shown.answerTimeoutMs, " ms");
  CodePageBox = CodePageChoice(this, shownCodePage);
  CodePageRefusal = new QLabel(this);
  CodePageRefusal->setObjectName("CodePageRefusal");
  CodePageRefusal->setWordWrap(true);
  auto* form = new QFormLayout;
  form->addRow("Terminals served at once:", ParallelBox);
  form->addRow("Pause before each connect:", PauseBox);
  form->addRow("Answer time-out:", AnswerTimeoutBox);
  form->addRow("Terminals' character set:", CodePageBox);
  form->addRow(CodePageRefusal);
  Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* column = new QVBoxLayout(this);
  column->addLayout(form);
  column->addWidget(Buttons);
  connect(CodePageBox, &QComboBox::editTextChanged, this, &SettingsDialog::CheckCodePage);
  CheckCodePage();
}

void SettingsDialog::CheckCodePage() {
  const std::string name = CoreText(CodePageBox->currentText());
  const bool known = CodePage::Named(name).has_value();
  CodePageRefusal->setText(known ? QString() : ShownText(UnknownCodePageMessage(name)));
  CodePageRefusal->setVisible(!known);
  Buttons->button(QDialogButtonBox::Ok)->setEnabled(known);
}

CodePage SettingsDialog::ChosenCodePage() const {
  return CodePage::Named(CoreText(CodePageBox->currentText())).value_or(shownCodePage_);
}

CycleOptions SettingsDialog::Options() const {
  return {ParallelBox->value(), PauseBox->value(), AnswerTimeoutBox->value()};
}
