#include "window/control_panel.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>

#include "window/button_pictures.h"

namespace {

template <class Widget>
Widget* Place(QWidget* parent, const char* name, QRect geometry, const QString& text = {}) {
  auto* widget = new Widget(parent);
  widget->setObjectName(name);
  if constexpr (requires { widget->setText(text); }) widget->setText(text);
  widget->setGeometry(geometry);
  return widget;
}

QLabel* PlaceLabel(QWidget* parent, const char* name, int left, int top, const QString& text) {
  auto* label = Place<QLabel>(parent, name, QRect(left, top, 0, 0), text);
  label->adjustSize();
  return label;
}

QPushButton* PlacePictureButton(QWidget* parent, const char* name, int left, const QImage& picture,
                                const QString& hint) {
  auto* button = Place<QPushButton>(parent, name, QRect(left, 112, 25, 21));
  button->setIcon(QPixmap::fromImage(picture));
  button->setIconSize(picture.size());
  button->setToolTip(hint);
  return button;
}

QRadioButton* PlaceRadio(QWidget* parent, const char* name, int left, int top,
                         const QString& text) {
  return Place<QRadioButton>(parent, name, QRect(left, top, 113, 17), text);
}

void PlaceVisible(ControlPanel& ui) {
  QFrame* p = ui.Frame;
  ui.TerminalListLabel = PlaceLabel(p, "TerminalListLabel", 16, 21, "IP");
  ui.TerminalList = Place<QListWidget>(p, "TerminalList", QRect(72, 16, 177, 89));
  ui.TerminalList->setSelectionMode(QAbstractItemView::SingleSelection);
  ui.TerminalList->setUniformItemSizes(true);
  // Tick boxes a little smaller than the 13-pixel rows, so neighbouring boxes
  // do not overlap and an unticked box shows all four sides.
  ui.TerminalList->setStyleSheet("QListView::indicator { width: 11px; height: 11px; }");
  ui.AddressBox = Place<QLineEdit>(p, "AddressBox", QRect(72, 112, 97, 21));
  ui.AddButton = PlacePictureButton(p, "AddButton", 172, PlusPicture(), "Add");
  ui.DeleteButton = PlacePictureButton(p, "DeleteButton", 198, MinusPicture(), "Delete");
  ui.ChangeButton = PlacePictureButton(p, "ChangeButton", 224, EqualsPicture(), "Change");
  ui.PortLabel = PlaceLabel(p, "PortLabel", 16, 149, "Port");
  ui.PortBox = Place<QLineEdit>(p, "PortBox", QRect(72, 144, 177, 21));
  ui.SendFileLabel = PlaceLabel(p, "SendFileLabel", 16, 181, "Send File");
  ui.SendFileBox = Place<QLineEdit>(p, "SendFileBox", QRect(72, 176, 177, 21));
  ui.SendFileBox->setEnabled(false);
  ui.SendButton = Place<QPushButton>(p, "SendButton", QRect(16, 296, 113, 41), "&Send Data");
  ui.ReadFileButton =
      Place<QPushButton>(p, "ReadFileButton", QRect(136, 296, 113, 41), "&Read File");
  ui.ClearLogButton =
      Place<QPushButton>(p, "ClearLogButton", QRect(16, 344, 113, 41), "C&lear Log");
  ui.ExitButton = Place<QPushButton>(p, "ExitButton", QRect(136, 344, 113, 41), "E&xit");
}

// The data kind buttons stand in a column; the report type buttons in a group
// box of their own, since radio buttons exclude their siblings only.
void PlaceDataKinds(ControlPanel& ui) {
  QFrame* p = ui.Frame;
  DataKindRadios& k = ui.Kinds;
  k.Plu = PlaceRadio(p, "PluKind", 8, 424, "PLU");
  k.Ingredient = PlaceRadio(p, "IngredientKind", 8, 440, "Ingredient");
  k.Barcode = PlaceRadio(p, "BarcodeKind", 8, 456, "Barcode");
  k.ScrollMsg = PlaceRadio(p, "ScrollMsgKind", 8, 472, "ScrollMsg");
  k.Speedkey = PlaceRadio(p, "SpeedkeyKind", 8, 488, "Speedkey");
  k.Report = PlaceRadio(p, "ReportKind", 8, 504, "Report");
  QGroupBox* box = ui.ReportTypeGroup =
      Place<QGroupBox>(p, "ReportTypeGroup", QRect(192, 504, 177, 145));
  box->setTitle("Report Type");
  k.PluReport = PlaceRadio(box, "PluReport", 8, 24, "PLU");
  k.TimeReport = PlaceRadio(box, "TimeReport", 8, 40, "Time");
  k.GroupReport = PlaceRadio(box, "GroupReport", 8, 56, "Group");
  k.DeptReport = PlaceRadio(box, "DeptReport", 8, 72, "Depart");
  k.ScaleIdReport = PlaceRadio(box, "ScaleIdReport", 8, 88, "ScaleID");
  k.ClerkReport = PlaceRadio(box, "ClerkReport", 8, 104, "Clerk");
  k.TaxRateReport = PlaceRadio(box, "TaxRateReport", 8, 120, "TaxRate");
  // No transfer serves these three: never enabled.
  for (QRadioButton* never : {k.ScaleIdReport, k.ClerkReport, k.TaxRateReport}) {
    never->setEnabled(false);
  }
}

void PlaceHidden(ControlPanel& ui) {
  QFrame* p = ui.Frame;
  ui.ConnectButton = Place<QPushButton>(p, "ConnectButton", QRect(16, 248, 113, 41), "&Connect");
  ui.DisconnectButton =
      Place<QPushButton>(p, "DisconnectButton", QRect(136, 248, 113, 41), "&Disconnect");
  ui.DownloadButton = Place<QPushButton>(p, "DownloadButton", QRect(16, 200, 113, 41), "D&ownload");
  ui.ServedAddress = Place<QLineEdit>(p, "ServedAddress", QRect(136, 200, 113, 21));
  ui.ConnectIntervalLabel = PlaceLabel(p, "ConnectIntervalLabel", 152, 429, "Interval");
  // The library's wait per attempt and its attempts, as the core uses them.
  ui.ConnectInterval = Place<QLineEdit>(p, "ConnectInterval", QRect(232, 424, 153, 21), "5000");
  ui.ConnectRetryLabel = PlaceLabel(p, "ConnectRetryLabel", 152, 453, "Retry");
  ui.ConnectRetry = Place<QLineEdit>(p, "ConnectRetry", QRect(232, 448, 153, 21), "3");
  ui.UploadFileLabel = PlaceLabel(p, "UploadFileLabel", 152, 477, "Upload File");
  ui.UploadFileBox = Place<QLineEdit>(p, "UploadFileBox", QRect(232, 472, 153, 21));
  PlaceDataKinds(ui);
  const DataKindRadios& k = ui.Kinds;
  const std::initializer_list<QWidget*> hidden = {
      ui.ConnectButton,
      ui.DisconnectButton,
      ui.DownloadButton,
      ui.ServedAddress,
      ui.ConnectIntervalLabel,
      ui.ConnectInterval,
      ui.ConnectRetryLabel,
      ui.ConnectRetry,
      ui.UploadFileLabel,
      ui.UploadFileBox,
      k.Plu,
      k.Barcode,
      k.Report,
      k.Ingredient,
      k.ScrollMsg,
      k.Speedkey,
      ui.ReportTypeGroup,
  };
  for (QWidget* widget : hidden) {
    widget->setVisible(false);
  }
}

// Qt skips hidden and disabled widgets when tabbing, as the laid-out order expects.
void SetTabOrder(const ControlPanel& ui) {
  const DataKindRadios& k = ui.Kinds;
  const QList<QWidget*> order = {
      ui.TerminalList, ui.AddressBox,     ui.AddButton,
      ui.DeleteButton, ui.ChangeButton,   ui.PortBox,
      ui.SendFileBox,  ui.ConnectButton,  ui.DisconnectButton,
      ui.SendButton,   ui.ReadFileButton, ui.ClearLogButton,
      ui.ExitButton,   ui.ServedAddress,  ui.ConnectInterval,
      ui.ConnectRetry, ui.UploadFileBox,  ui.DownloadButton,
      k.Plu,           k.Barcode,         ui.ReportTypeGroup,
      k.Report,        k.Ingredient,      k.ScrollMsg,
      k.Speedkey,
  };
  for (qsizetype i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

}  // namespace

ControlPanel BuildControlPanel(QWidget* parent) {
  ControlPanel ui{};
  ui.Frame = new QFrame(parent);
  ui.Frame->setObjectName("ControlPanel");
  ui.Frame->setFixedWidth(ControlPanel::kWidth);
  ui.Frame->setFrameStyle(QFrame::Box | QFrame::Raised);  // raised outer, lowered inner bevel
  PlaceVisible(ui);
  PlaceHidden(ui);
  SetTabOrder(ui);
  return ui;
}
