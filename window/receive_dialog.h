// The Receive dialog of "Communication": what to receive (records of a kind,
// or a report), from which terminals (the selected entry, or every ticked
// one) and into which folder (received/ in the program folder at first, or
// one picked with Browse…). At OK the window starts a receive cycle with
// the order the dialog holds; Cancel starts nothing.
#pragma once

#include <QDialog>
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
  ReceiveDialog(QWidget* parent, const std::string& folder);

  ReceiveOrder Order() const;

  QComboBox* KindBox;            // each entry's data is its data type code
  QRadioButton* SelectedButton;  // the selected entry of the terminal list
  QRadioButton* TickedButton;    // every ticked entry; chosen at first
  QLineEdit* FolderBox;
  QPushButton* BrowseButton;
  QDialogButtonBox* Buttons;

 private:
  void Browse();
};
