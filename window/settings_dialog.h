// The Settings dialog of "Communication": the send cycle's options — the
// terminals served at the same time, the pause before each connect and the
// answer time-out — each in a spin box whose arrows keep to its key's range,
// and the terminals' character set, picked from the common ones or typed. The
// window shows it with the program's settings and, at OK, gives its values to
// the program; Cancel changes nothing. A number is never changed to fit: OK is
// not offered while a number typed is out of its key's range, or the
// character set named is not one the system converts, and the dialog says why.
#pragma once

#include <QDialog>

#include "settings/terminal_settings.h"
#include "text/code_page.h"

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QSpinBox;

class SettingsDialog : public QDialog {
  Q_OBJECT

 public:
  SettingsDialog(QWidget* parent, const CycleOptions& shown, const CodePage& shownCodePage);

  CycleOptions Options() const;
  // The character set named; the one shown at the start while none is known.
  CodePage ChosenCodePage() const;

  QSpinBox* ParallelBox;
  QSpinBox* PauseBox;          // milliseconds
  QSpinBox* AnswerTimeoutBox;  // milliseconds
  QComboBox* CodePageBox;
  QLabel* NumberRefusal;    // why the numbers typed are refused; empty while they are in range
  QLabel* CodePageRefusal;  // why the name typed is refused; empty while it is known
  QDialogButtonBox* Buttons;

 private:
  void Check();

  CodePage shownCodePage_;
};
