// The Send dialog of "Communication": which kind of records to send (each
// of the kinds a download writes), from which file (the kind's download file
// in the program folder at first, or one picked with Browse…), to whom (the
// selected entry, or every ticked one), whether only what changed is sent
// (chosen at first once anything is held) and, with it, whether what the
// file no longer has is deleted. Before OK it shows, per terminal, what the
// send would do; the plan follows every choice. At OK the window starts a
// send cycle with the order the dialog holds; Cancel starts nothing.
#pragma once

#include <QDialog>
#include <string>

#include "model/held_orders.h"
#include "model/orders.h"
#include "window/file_dialog.h"

class Program;
class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableView;
class SendPlanTable;

class SendDialog : public QDialog {
  Q_OBJECT

 public:
  // `browse` asks for a file when Browse… is pressed.
  SendDialog(QWidget* parent, Program& program, OpenFileDialog browse);

  SendOrder Order() const;

  QComboBox* KindBox;  // each entry's data is its data type code
  QLineEdit* FileBox;
  QPushButton* BrowseButton;
  QRadioButton* SelectedButton;  // the selected entry; offered while one is
  QRadioButton* TickedButton;    // every ticked entry; chosen at first
  QCheckBox* ChangesBox;         // "Only what changed"
  QCheckBox* DeleteBox;          // offered only with ChangesBox checked
  SendPlanTable* Plan;
  QTableView* PlanView;
  QLabel* PlanNote;  // why no plan could be made, or why the held state is not used
  QDialogButtonBox* Buttons;

 private:
  void BuildLayout();
  DataKind ChosenKind() const;
  SendTarget ChosenTarget() const;
  bool DeletesMissing() const;
  void KindChosen();
  void Browse();
  // Works the plan out again for the choices shown.
  void ShowPlan();

  Program& program_;
  OpenFileDialog browse_;
};
