// The control panel at the right of the window, with each of its controls at
// its laid-out place: the visible ones the operator uses, and the hidden ones
// the layout keeps (the served address, the connect settings, the upload
// file, the data kind) but never shows.
#pragma once

class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QWidget;

// The hidden choice buttons, one per data kind and one per report type: they
// draw the program's KindChoice and choose nothing.
struct DataKindRadios {
  QRadioButton* Plu;
  QRadioButton* Barcode;
  QRadioButton* Ingredient;
  QRadioButton* ScrollMsg;
  QRadioButton* Speedkey;
  QRadioButton* Report;
  QRadioButton* PluReport;
  QRadioButton* TimeReport;
  QRadioButton* GroupReport;
  QRadioButton* DeptReport;
  QRadioButton* ScaleIdReport;
  QRadioButton* ClerkReport;
  QRadioButton* TaxRateReport;
};

struct ControlPanel {
  static constexpr int kWidth = 265;
  static constexpr int kItemHeight = 13;  // rows of the terminal list

  QFrame* Frame;
  // Visible, in tab order.
  QLabel* TerminalListLabel;  // "IP"
  QListWidget* TerminalList;
  QLineEdit* AddressBox;  // a new address (Add) or a replacement (Change)
  QPushButton* AddButton;
  QPushButton* DeleteButton;
  QPushButton* ChangeButton;
  QLabel* PortLabel;
  QLineEdit* PortBox;
  QLabel* SendFileLabel;
  QLineEdit* SendFileBox;  // always disabled: the file-open dialog fills it
  QPushButton* SendButton;
  QPushButton* ReadFileButton;
  QPushButton* ClearLogButton;
  QPushButton* ExitButton;
  // Hidden for the whole run. The three buttons run nothing: connect,
  // disconnect and download are the window's actions.
  QPushButton* ConnectButton;
  QPushButton* DisconnectButton;
  QPushButton* DownloadButton;
  QLineEdit* ServedAddress;
  QLabel* ConnectIntervalLabel;
  QLineEdit* ConnectInterval;
  QLabel* ConnectRetryLabel;
  QLineEdit* ConnectRetry;
  QLabel* UploadFileLabel;
  QLineEdit* UploadFileBox;
  DataKindRadios Kinds;
  QGroupBox* ReportTypeGroup;  // holds the report type buttons
};

// Builds the panel as a child of `parent`, with the tab order set within it.
// Each control has its laid-out object name, the hidden ones too.
ControlPanel BuildControlPanel(QWidget* parent);
