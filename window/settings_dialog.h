// The Settings dialog of "Communication": the send cycle's options — the
// terminals served at the same time, the pause before each connect and the
// answer time-out — each in a spin box that keeps to its key's range. The
// window shows it with the program's options and, at OK, gives its values to
// the program; Cancel changes nothing.
#pragma once

#include <QDialog>

#include "settings/terminal_settings.h"

class QDialogButtonBox;
class QSpinBox;

class SettingsDialog : public QDialog {
  Q_OBJECT

 public:
  SettingsDialog(QWidget* parent, const CycleOptions& shown);

  CycleOptions Options() const;

  QSpinBox* ParallelBox;
  QSpinBox* PauseBox;          // milliseconds
  QSpinBox* AnswerTimeoutBox;  // milliseconds
  QDialogButtonBox* Buttons;
};
