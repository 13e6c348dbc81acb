// The Receive dialog of "Communication": what to receive (records of a kind,
// or a report), from which terminals (the selected entry, or every ticked
// one) and into which folder (received/ in the program folder at first, or
// one picked with Browse…). It names the selected terminal, and offers the
// choices of the last receive the window started again. At OK the window
// starts a receive cycle with the order the dialog holds; Cancel starts nothing.
#pragma once

#include <QDialog>
#include <optional>
#include <string>

#include "model/receive_order.h"

class QComboBox;
class QDialogButtonBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

class ReceiveDialog : public QDialog {
  Q_OBJECT

 public:
  // `selected`: the selected entry's address, empty when none is selected;
  // `last`: the order of the last receive, whose choices are shown instead
  // of the first ones.
  ReceiveDialog(QWidget* parent, const std::string& folder, const std::string& selected,
                const std::optional<ReceiveOrder>& last);

  ReceiveOrder Order() const;

  QComboBox* KindBox;            // each entry's data is its data type code
  QRadioButton* SelectedButton;  // the selected entry of the terminal list
  QRadioButton* TickedButton;    // every ticked entry; chosen at first
  QLineEdit* FolderBox;
  QPushButton* BrowseButton;
  QDialogButtonBox* Buttons;

 private:
  void Browse();
  void ShowChoices(const ReceiveOrder& last);
  // The folder box wide enough for the whole folder, up to most of the screen.
  void FitFolder();
};
