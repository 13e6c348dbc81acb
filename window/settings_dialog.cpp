#include "window/settings_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <iterator>
#include <utility>

#include "window/local_text.h"

namespace {

// A number of its key: any number of up to nine digits may be typed, so
// that one out of the key's range stays as typed and is refused with a
// message instead of losing a digit; the arrows keep to the key's range.
class KeyNumberBox : public QSpinBox {
 public:
  KeyNumberBox(QWidget* parent, const NumberKey& key) : QSpinBox(parent), key_(key) {
    setRange(0, 999999999);
  }

  void stepBy(int steps) override {
    const qint64 next = static_cast<qint64>(value()) + qint64{steps} * singleStep();
    setValue(static_cast<int>(std::clamp<qint64>(next, key_.min, key_.max)));
  }

 protected:
  StepEnabled stepEnabled() const override {
    StepEnabled enabled = StepNone;
    if (value() > key_.min) enabled |= StepDownEnabled;
    if (value() < key_.max) enabled |= StepUpEnabled;
    return enabled;
  }

 private:
  NumberKey key_;
};

QSpinBox* NumberBox(QWidget* parent, const char* name, const NumberKey& key, int value,
                    const QString& suffix) {
  auto* box = new KeyNumberBox(parent, key);
  box->setObjectName(name);
  box->setValue(value);
  box->setSuffix(suffix);
  box->setGroupSeparatorShown(false);
  return box;
}

// Why the box's value is refused: "The pause before each connect is 0 to
// 600000 ms; 700000 ms is refused."; empty when it is in its key's range.
QString NumberRefusal(const QSpinBox& box, const NumberKey& key, const QString& what) {
  const int value = box.value();
  if (value >= key.min && value <= key.max) return {};
  const QString unit = box.suffix();
  return QString("%1 is %2 to %3%4; %5%4 is refused.")
      .arg(what)
      .arg(key.min)
      .arg(key.max)
      .arg(unit)
      .arg(value);
}

QLabel* RefusalLabel(QWidget* parent, const char* name) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  label->setWordWrap(true);
  label->hide();
  return label;
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
  CodePageRefusal = RefusalLabel(this, "CodePageRefusal");
  NumberRefusal = RefusalLabel(this, "NumberRefusal");
  auto* form = new QFormLayout;
  form->addRow("Terminals served at once:", ParallelBox);
  form->addRow("Pause before each connect:", PauseBox);
  form->addRow("Answer time-out:", AnswerTimeoutBox);
  form->addRow("Terminals' character set:", CodePageBox);
  form->addRow(NumberRefusal);
  form->addRow(CodePageRefusal);
  Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* column = new QVBoxLayout(this);
  column->addLayout(form);
  column->addWidget(Buttons);
  setMinimumWidth(420);  // room for a refusal's words beside each other
  connect(CodePageBox, &QComboBox::editTextChanged, this, &SettingsDialog::Check);
  for (QSpinBox* box : {ParallelBox, PauseBox, AnswerTimeoutBox}) {
    connect(box, &QSpinBox::valueChanged, this, &SettingsDialog::Check);
  }
  Check();
}

void SettingsDialog::Check() {
  const std::string name = CoreText(CodePageBox->currentText());
  const bool known = CodePage::Named(name).has_value();
  CodePageRefusal->setText(known ? QString() : ShownText(UnknownCodePageMessage(name)));
  CodePageRefusal->setVisible(!known);
  QStringList refusals;
  const std::pair<QSpinBox*, const NumberKey*> numbers[] = {
      {ParallelBox, &kParallelKey}, {PauseBox, &kPauseKey}, {AnswerTimeoutBox, &kAnswerTimeoutKey}};
  const char* const what[] = {"The number of terminals served at once",
                              "The pause before each connect", "The answer time-out"};
  for (std::size_t i = 0; i < std::size(numbers); ++i) {
    const QString refusal = ::NumberRefusal(*numbers[i].first, *numbers[i].second, what[i]);
    if (!refusal.isEmpty()) refusals.append(refusal);
  }
  NumberRefusal->setText(refusals.join('\n'));
  NumberRefusal->setVisible(!refusals.isEmpty());
  Buttons->button(QDialogButtonBox::Ok)->setEnabled(known && refusals.isEmpty());
  // The dialog grows to show a refusal whole.
  if (layout()) adjustSize();
}

CodePage SettingsDialog::ChosenCodePage() const {
  return CodePage::Named(CoreText(CodePageBox->currentText())).value_or(shownCodePage_);
}

CycleOptions SettingsDialog::Options() const {
  return {ParallelBox->value(), PauseBox->value(), AnswerTimeoutBox->value()};
}
