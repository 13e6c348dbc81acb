#include "app/qt/main_window.h"

#include <QBoxLayout>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <optional>

#include "app/qt/local_text.h"

namespace {

constexpr int kCoolBarHeight = 23;
constexpr int kStatusBarHeight = 24;
constexpr int kStatusPanelWidth = 50;

// Tahoma 8 pt; where Tahoma is not installed the font system picks the
// closest sans-serif face at the same size.
QFont WindowFont() {
  QFont font("Tahoma");
  font.setPointSize(8);
  font.setStyleHint(QFont::SansSerif);
  return font;
}

void ShowBox(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text) {
  QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
  box.exec();
}

}  // namespace

MainWindow::MainWindow(EventLoop& loop, const LinkLibrary& link, std::string executablePath)
    : form_(loop, *this, link, std::move(executablePath)) {
  setWindowTitle(ShownText(kWindowCaption));
  setFont(WindowFont());
  BuildLayout();
  MapControls();
  WireInput();
  designSize_ = QSize(kClientWidth, menuBar()->sizeHint().height() + kClientHeight);
  setMinimumSize(designSize_);
  resize(designSize_);
  move(295, 99);
}

MainWindow::~MainWindow() = default;

void MainWindow::BuildLayout() {
  actions_ = BuildActions(this);
  menu_ = BuildMainMenu(menuBar(), actions_);

  auto* central = new QWidget(this);
  auto* column = new QVBoxLayout(central);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  // The tool bar strip keeps its height although its one tool bar is hidden.
  auto* coolBar1 = new QWidget(central);
  coolBar1->setObjectName("CoolBar1");
  coolBar1->setFixedHeight(kCoolBarHeight);
  auto* actionToolBar1 = new QToolBar(coolBar1);
  actionToolBar1->setObjectName("ActionToolBar1");
  BuildActionToolBar(actionToolBar1, actions_);
  actionToolBar1->setVisible(false);
  column->addWidget(coolBar1);

  auto* row = new QHBoxLayout;
  row->setSpacing(0);
  listBox1_ = new LogView(central);
  listBox1_->setObjectName("ActivityLog");
  listBox1_->setModel(&log_);
  row->addWidget(listBox1_, 1);
  ui_ = BuildControlPanel(central);
  row->addWidget(ui_.Panel1);
  column->addLayout(row, 1);
  setCentralWidget(central);
  // The panel comes before the log when tabbing.
  QWidget::setTabOrder(ui_.RadioButton13, listBox1_);

  statusBar()->setFixedHeight(kStatusBarHeight);
  statusBar()->setSizeGripEnabled(false);
  statusPanel_ = new QLabel(statusBar());
  statusPanel_->setObjectName("StatusPanel1");
  statusPanel_->setFixedWidth(kStatusPanelWidth);
  statusPanel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  statusBar()->addWidget(statusPanel_);
}

void MainWindow::MapControls() {
  TForm1& f = form_;
  edits_ = {{ui_.ServedAddress, &f.ServedAddress},
            {ui_.PortBox, &f.PortBox},
            {ui_.ConnectInterval, &f.ConnectInterval},
            {ui_.ConnectRetry, &f.ConnectRetry},
            {ui_.SendFileBox, &f.SendFileBox},
            {ui_.UploadFileBox, &f.UploadFileBox},
            {ui_.AddressBox, &f.AddressBox}};
  radios_ = {{ui_.RadioButton1, &f.RadioButton1},   {ui_.RadioButton2, &f.RadioButton2},
             {ui_.RadioButton3, &f.RadioButton3},   {ui_.RadioButton4, &f.RadioButton4},
             {ui_.RadioButton5, &f.RadioButton5},   {ui_.RadioButton6, &f.RadioButton6},
             {ui_.RadioButton7, &f.RadioButton7},   {ui_.RadioButton8, &f.RadioButton8},
             {ui_.RadioButton9, &f.RadioButton9},   {ui_.RadioButton10, &f.RadioButton10},
             {ui_.RadioButton11, &f.RadioButton11}, {ui_.RadioButton12, &f.RadioButton12},
             {ui_.RadioButton13, &f.RadioButton13}};
  for (const auto& [widget, model] : edits_) focusTargets_[model] = widget;
  for (const auto& [widget, model] : radios_) focusTargets_[model] = widget;
  focusTargets_[&f.TerminalList] = ui_.TerminalList;
  focusTargets_[&f.ActivityLog] = listBox1_;
}

void MainWindow::WireInput() {
  auto onClick = [this](QPushButton* button, auto&& slot) {
    connect(button, &QPushButton::clicked, this, slot);
  };
  onClick(ui_.BBtnAdd, [this] { Handle(&TForm1::BBtnAddClick); });
  onClick(ui_.BBtnDelete, [this] { Handle(&TForm1::BBtnDeleteClick); });
  onClick(ui_.BBtnEdit, [this] { Handle(&TForm1::BBtnEditClick); });
  onClick(ui_.BtnSend, [this] { Handle(&TForm1::BtnSendClick); });
  onClick(ui_.BtnRead, [this] { actions_.Action6->trigger(); });
  onClick(ui_.BtnClear, [this] { Handle(&TForm1::Clear1Click); });
  onClick(ui_.BtnExit, [this] { actions_.FileExit1->trigger(); });
  connect(menu_.Clear1, &QAction::triggered, this, [this] { Handle(&TForm1::Clear1Click); });

  connect(actions_.FileExit1, &QAction::triggered, this, &QWidget::close);
  connect(actions_.FileOpen1, &QAction::triggered, this, &MainWindow::OpenDownloadFile);
  const std::pair<QAction*, void (TForm1::*)()> runs[] = {
      {actions_.Action1, &TForm1::Action1Execute},
      {actions_.Action2, &TForm1::Action2Execute},
      {actions_.Action3, &TForm1::Action3Execute},
      {actions_.Action4, &TForm1::Action4Execute},
      {actions_.Action6, &TForm1::Action6Execute}};
  for (const auto& [action, handler] : runs) {
    connect(action, &QAction::triggered, this, [this, handler = handler] { Handle(handler); });
  }

  // Typing, ticks and the selection go into the models at once; nothing runs.
  connect(ui_.AddressBox, &QLineEdit::textEdited, this,
          [this](const QString& text) { form_.AddressBox.Text = CoreText(text); });
  connect(ui_.PortBox, &QLineEdit::textEdited, this,
          [this](const QString& text) { form_.PortBox.Text = CoreText(text); });
  QListWidget* list = ui_.TerminalList;
  connect(list, &QListWidget::itemChanged, this, [this, list](QListWidgetItem* item) {
    const auto row = static_cast<std::size_t>(list->row(item));
    auto& items = form_.TerminalList.Items;
    if (row < items.size()) items[row].Checked = item->checkState() == Qt::Checked;
  });
  connect(list, &QListWidget::itemSelectionChanged, this, [this, list] {
    const QList<QListWidgetItem*> selected = list->selectedItems();
    form_.TerminalList.ItemIndex = selected.isEmpty() ? -1 : list->row(selected.front());
  });
}

bool MainWindow::Start() {
  std::optional<std::string> refusal;
  form_.HandleEvent([this, &refusal] {
    try {
      form_.FormCreate();
    } catch (const FolderInUse& inUse) {
      refusal = inUse.what();
    }
  });
  if (refusal) {
    ShowError(*refusal);
    return false;
  }
  ShowTerminalList();
  ControlsChanged();
  statusPanel_->setToolTip(ShownText(form_.VersionLine));
  return true;
}

void MainWindow::Handle(void (TForm1::*handler)()) {
  form_.HandleEvent([this, handler] { (form_.*handler)(); });
}

void MainWindow::OpenDownloadFile() {
  const std::optional<QString> path = openFileDialog_(this);
  if (!path) return;
  form_.HandleEvent([this, bytes = CoreText(*path)] { form_.FileOpen1Accept(bytes); });
}

void MainWindow::LogAppended(const std::string& line) {
  log_.Append(line);
}

void MainWindow::LogReplaced(std::size_t index, const std::string& line) {
  log_.Replace(index, line);
}

void MainWindow::LogCleared() {
  log_.Clear();
}

void MainWindow::TerminalListChanged() {
  ShowTerminalList();
  ControlsChanged();
}

void MainWindow::ShowTerminalList() {
  QListWidget* list = ui_.TerminalList;
  const QSignalBlocker quiet(list);
  list->clear();
  for (const TCheckListItem& entry : form_.TerminalList.Items) {
    auto* item = new QListWidgetItem(ShownText(entry.Text), list);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(entry.Checked ? Qt::Checked : Qt::Unchecked);
    item->setSizeHint(QSize(1, ControlPanel::kItemHeight));
  }
  const int selected = form_.TerminalList.ItemIndex;
  if (selected >= 0 && selected < list->count()) {
    list->setCurrentRow(selected);
  } else {
    list->setCurrentRow(-1);
    list->clearSelection();
  }
}

void MainWindow::ShowError(const std::string& text) {
  ShowBox(this, QMessageBox::NoIcon, "ERROR", ShownText(text));
}

void MainWindow::ShowFailure(const std::string& text) {
  ShowBox(this, QMessageBox::Critical, "Orlent", ShownText(text));
}

void MainWindow::FocusSet(const TControl& control) {
  // Hidden controls take no focus: keys typed then would go nowhere visible.
  const auto target = focusTargets_.find(&control);
  if (target != focusTargets_.end() && target->second->isVisibleTo(this)) {
    target->second->setFocus(Qt::OtherFocusReason);
  }
}

void MainWindow::ControlsChanged() {
  for (const auto& [widget, model] : edits_) {
    const QString text = ShownText(model->Text);
    if (widget->text() != text) widget->setText(text);
  }
  for (const auto& [widget, model] : radios_) {
    widget->setEnabled(model->Enabled);
    if (model->Checked) widget->setChecked(true);
  }
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // Every way of closing ends here. A save that fails is shown by the default
  // error handling, and the window closes all the same: keeping it open would
  // leave the operator no way out but to kill the program.
  if (!formClosed_) {
    formClosed_ = true;
    Handle(&TForm1::FormClose);
  }
  event->accept();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  // The window system reports a new state after the new size at times, so
  // the state is judged once both have arrived.
  QTimer::singleShot(0, this, &MainWindow::KeepBorderFixed);
}

// The border is fixed, yet the window may be maximized. X11 window managers
// offer no maximize for a window whose minimum and maximum sizes are equal,
// so the size is left open and a window that is neither maximized nor full
// screen goes back to its laid-out size.
void MainWindow::KeepBorderFixed() {
  const bool filling = windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen);
  if (!filling && size() != designSize_) resize(designSize_);
}
