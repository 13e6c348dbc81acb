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
  QFrame* p = ui.Panel1;
  ui.Label1 = PlaceLabel(p, "Label1", 16, 21, "IP");
  ui.TerminalList = Place<QListWidget>(p, "TerminalList", QRect(72, 16, 177, 89));
  ui.TerminalList->setSelectionMode(QAbstractItemView::SingleSelection);
  ui.TerminalList->setUniformItemSizes(true);
  // Tick boxes a little smaller than the 13-pixel rows, so neighbouring boxes
  // do not overlap and an unticked box shows all four sides.
  ui.TerminalList->setStyleSheet("QListView::indicator { width: 11px; height: 11px; }");
  ui.AddressBox = Place<QLineEdit>(p, "AddressBox", QRect(72, 112, 97, 21));
  ui.BBtnAdd = PlacePictureButton(p, "BBtnAdd", 172, PlusPicture(), "Add");
  ui.BBtnDelete = PlacePictureButton(p, "BBtnDelete", 198, MinusPicture(), "Delete");
  ui.BBtnEdit = PlacePictureButton(p, "BBtnEdit", 224, EqualsPicture(), "Change");
  ui.Label2 = PlaceLabel(p, "Label2", 16, 149, "Port");
  ui.PortBox = Place<QLineEdit>(p, "PortBox", QRect(72, 144, 177, 21));
  ui.Label5 = PlaceLabel(p, "Label5", 16, 181, "Send File");
  ui.SendFileBox = Place<QLineEdit>(p, "SendFileBox", QRect(72, 176, 177, 21));
  ui.SendFileBox->setEnabled(false);
  ui.BtnSend = Place<QPushButton>(p, "BtnSend", QRect(16, 296, 113, 41), "&Send Data");
  ui.BtnRead = Place<QPushButton>(p, "BtnRead", QRect(136, 296, 113, 41), "&Read File");
  ui.BtnClear = Place<QPushButton>(p, "BtnClear", QRect(16, 344, 113, 41), "C&lear Log");
  ui.BtnExit = Place<QPushButton>(p, "BtnExit", QRect(136, 344, 113, 41), "E&xit");
}

void PlaceHidden(ControlPanel& ui) {
  QFrame* p = ui.Panel1;
  ui.ConnectButton = Place<QPushButton>(p, "ConnectButton", QRect(16, 248, 113, 41), "&Connect");
  ui.DisconnectButton =
      Place<QPushButton>(p, "DisconnectButton", QRect(136, 248, 113, 41), "&Disconnect");
  ui.DownloadButton = Place<QPushButton>(p, "DownloadButton", QRect(16, 200, 113, 41), "D&ownload");
  ui.ServedAddress = Place<QLineEdit>(p, "ServedAddress", QRect(136, 200, 113, 21));
  ui.Label3 = PlaceLabel(p, "Label3", 152, 429, "Interval");
  ui.ConnectInterval = Place<QLineEdit>(p, "ConnectInterval", QRect(232, 424, 153, 21));
  ui.Label4 = PlaceLabel(p, "Label4", 152, 453, "Retry");
  ui.ConnectRetry = Place<QLineEdit>(p, "ConnectRetry", QRect(232, 448, 153, 21));
  ui.Label6 = PlaceLabel(p, "Label6", 152, 477, "Upload File");
  ui.UploadFileBox = Place<QLineEdit>(p, "UploadFileBox", QRect(232, 472, 153, 21));
  ui.Kinds.Plu = PlaceRadio(p, "RadioButton1", 8, 424, "PLU");
  ui.Kinds.Ingredient = PlaceRadio(p, "RadioButton11", 8, 440, "Ingredient");
  ui.Kinds.Barcode = PlaceRadio(p, "RadioButton2", 8, 456, "Barcode");
  ui.Kinds.ScrollMsg = PlaceRadio(p, "RadioButton12", 8, 472, "ScrollMsg");
  ui.Kinds.Speedkey = PlaceRadio(p, "RadioButton13", 8, 488, "Speedkey");
  ui.Kinds.Report = PlaceRadio(p, "RadioButton3", 8, 504, "Report");
  // The box's own buttons program the second group: radio buttons exclude their siblings only.
  QGroupBox* box = ui.GroupBox1 = Place<QGroupBox>(p, "GroupBox1", QRect(192, 504, 177, 145));
  box->setTitle("Report Type");
  ui.Kinds.PluReport = PlaceRadio(box, "RadioButton4", 8, 24, "PLU");
  ui.Kinds.TimeReport = PlaceRadio(box, "RadioButton5", 8, 40, "Time");
  ui.Kinds.GroupReport = PlaceRadio(box, "RadioButton6", 8, 56, "Group");
  ui.Kinds.DeptReport = PlaceRadio(box, "RadioButton7", 8, 72, "Depart");
  ui.Kinds.ScaleIdReport = PlaceRadio(box, "RadioButton8", 8, 88, "ScaleID");
  ui.Kinds.ClerkReport = PlaceRadio(box, "RadioButton9", 8, 104, "Clerk");
  ui.Kinds.TaxRateReport = PlaceRadio(box, "RadioButton10", 8, 120, "TaxRate");
  const std::initializer_list<QWidget*> hidden = {
      ui.ConnectButton,
      ui.DisconnectButton,
      ui.DownloadButton,
      ui.ServedAddress,
      ui.Label3,
      ui.ConnectInterval,
      ui.Label4,
      ui.ConnectRetry,
      ui.Label6,
      ui.UploadFileBox,
      ui.Kinds.Plu,
      ui.Kinds.Barcode,
      ui.Kinds.Report,
      ui.Kinds.Ingredient,
      ui.Kinds.ScrollMsg,
      ui.Kinds.Speedkey,
      box,
  };
  for (QWidget* widget : hidden) {
    widget->setVisible(false);
  }
}

// Qt skips hidden and disabled widgets when tabbing, as the laid-out order expects.
void SetTabOrder(const ControlPanel& ui) {
  const QList<QWidget*> order = {
      ui.TerminalList, ui.AddressBox,    ui.BBtnAdd,        ui.BBtnDelete,       ui.BBtnEdit,
      ui.PortBox,      ui.SendFileBox,   ui.ConnectButton,  ui.DisconnectButton, ui.BtnSend,
      ui.BtnRead,      ui.BtnClear,      ui.BtnExit,        ui.ServedAddress,    ui.ConnectInterval,
      ui.ConnectRetry, ui.UploadFileBox, ui.DownloadButton, ui.Kinds.Plu,     ui.Kinds.Barcode,
      ui.GroupBox1,    ui.Kinds.Report,  ui.Kinds.Ingredient,  ui.Kinds.ScrollMsg,    ui.Kinds.Speedkey,
  };
  for (qsizetype i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

}  // namespace

ControlPanel BuildControlPanel(QWidget* parent) {
  ControlPanel ui{};
  ui.Panel1 = new QFrame(parent);
  ui.Panel1->setObjectName("Panel1");
  ui.Panel1->setFixedWidth(ControlPanel::kWidth);
  ui.Panel1->setFrameStyle(QFrame::Box | QFrame::Raised);  // raised outer, lowered inner bevel
  PlaceVisible(ui);
  PlaceHidden(ui);
  SetTabOrder(ui);
  return ui;
}
