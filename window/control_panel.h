// Panel1, the control panel at the right of the window, with each of its
// controls at its laid-out place: the visible ones the operator uses, and the
// hidden ones through which the program drives itself.
#pragma once

class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QWidget;

struct ControlPanel {
  static constexpr int kWidth = 265;
  static constexpr int kItemHeight = 13;  // rows of the terminal list

  QFrame* Panel1;
  // Visible, in tab order.
  QLabel* Label1;
  QListWidget* TerminalList;  // terminal list
  QLineEdit* AddressBox;      // IP box
  QPushButton* BBtnAdd;
  QPushButton* BBtnDelete;
  QPushButton* BBtnEdit;
  QLabel* Label2;
  QLineEdit* PortBox;  // port box
  QLabel* Label5;
  QLineEdit* SendFileBox;  // Send File, always disabled
  QPushButton* BtnSend;
  QPushButton* BtnRead;
  QPushButton* BtnClear;
  QPushButton* BtnExit;
  // Hidden for the whole run.
  QPushButton* ConnectButton;
  QPushButton* DisconnectButton;
  QPushButton* DownloadButton;
  QLineEdit* ServedAddress;
  QLabel* Label3;
  QLineEdit* ConnectInterval;
  QLabel* Label4;
  QLineEdit* ConnectRetry;
  QLabel* Label6;
  QLineEdit* UploadFileBox;
  QRadioButton* RadioButton1;
  QRadioButton* RadioButton2;
  QRadioButton* RadioButton3;
  QRadioButton* RadioButton11;
  QRadioButton* RadioButton12;
  QRadioButton* RadioButton13;
  QGroupBox* GroupBox1;
  QRadioButton* RadioButton4;
  QRadioButton* RadioButton5;
  QRadioButton* RadioButton6;
  QRadioButton* RadioButton7;
  QRadioButton* RadioButton8;
  QRadioButton* RadioButton9;
  QRadioButton* RadioButton10;
};

// Builds the panel as a child of `parent`, with the tab order set within it.
// Every control's object name is its name in the program.
ControlPanel BuildControlPanel(QWidget* parent);
