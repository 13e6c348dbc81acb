#include "window/main_window.h"

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

#include "window/local_text.h"

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
    : program_(loop, *this, link, std::move(executablePath)) {
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
  QWidget::setTabOrder(ui_.Kinds.Speedkey, listBox1_);

  statusBar()->setFixedHeight(kStatusBarHeight);
  statusBar()->setSizeGripEnabled(false);
  statusPanel_ = new QLabel(statusBar());
  statusPanel_->setObjectName("StatusPanel1");
  statusPanel_->setFixedWidth(kStatusPanelWidth);
  statusPanel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  statusBar()->addWidget(statusPanel_);
}

void MainWindow::MapControls() {
  Program& f = program_;
  edits_ = {{ui_.ServedAddress, &f.ServedAddress},
            {ui_.PortBox, &f.PortBox},
            {ui_.ConnectInterval, &f.ConnectInterval},
            {ui_.ConnectRetry, &f.ConnectRetry},
            {ui_.SendFileBox, &f.SendFileBox},
            {ui_.UploadFileBox, &f.UploadFileBox},
            {ui_.AddressBox, &f.AddressBox}};
  radios_ = {{ui_.Kinds.Plu, &f.Kinds.Plu},   {ui_.Kinds.Barcode, &f.Kinds.Barcode},
             {ui_.Kinds.Report, &f.Kinds.Report},   {ui_.Kinds.PluReport, &f.Kinds.PluReport},
             {ui_.Kinds.TimeReport, &f.Kinds.TimeReport},   {ui_.Kinds.GroupReport, &f.Kinds.GroupReport},
             {ui_.Kinds.DeptReport, &f.Kinds.DeptReport},   {ui_.Kinds.ScaleIdReport, &f.Kinds.ScaleIdReport},
             {ui_.Kinds.ClerkReport, &f.Kinds.ClerkReport},   {ui_.Kinds.TaxRateReport, &f.Kinds.TaxRateReport},
             {ui_.Kinds.Ingredient, &f.Kinds.Ingredient}, {ui_.Kinds.ScrollMsg, &f.Kinds.ScrollMsg},
             {ui_.Kinds.Speedkey, &f.Kinds.Speedkey}};
  for (const auto& [widget, model] : edits_) focusTargets_[model] = widget;
  for (const auto& [widget, model] : radios_) focusTargets_[model] = widget;
  focusTargets_[&f.TerminalList] = ui_.TerminalList;
  focusTargets_[&f.ActivityLog] = listBox1_;
}

void MainWindow::WireInput() {
  auto onClick = [this](QPushButton* button, auto&& slot) {
    connect(button, &QPushButton::clicked, this, slot);
  };
  onClick(ui_.BBtnAdd, [this] { Handle(&Program::AddTerminal); });
  onClick(ui_.BBtnDelete, [this] { Handle(&Program::DeleteTerminal); });
  onClick(ui_.BBtnEdit, [this] { Handle(&Program::ChangeTerminal); });
  onClick(ui_.BtnSend, [this] { Handle(&Program::SendToTickedTerminals); });
  onClick(ui_.BtnRead, [this] { actions_.Action6->trigger(); });
  onClick(ui_.BtnClear, [this] { Handle(&Program::ClearLog); });
  onClick(ui_.BtnExit, [this] { actions_.FileExit1->trigger(); });
  connect(menu_.Clear1, &QAction::triggered, this, [this] { Handle(&Program::ClearLog); });

  connect(actions_.FileExit1, &QAction::triggered, this, &QWidget::close);
  connect(actions_.FileOpen1, &QAction::triggered, this, &MainWindow::OpenDownloadFile);
  const std::pair<QAction*, void (Program::*)()> runs[] = {
      {actions_.Action1, &Program::Connect},
      {actions_.Action2, &Program::Disconnect},
      {actions_.Action3, &Program::Upload},
      {actions_.Action4, &Program::Download},
      {actions_.Action6, &Program::ReadFile}};
  for (const auto& [action, handler] : runs) {
    connect(action, &QAction::triggered, this, [this, handler = handler] { Handle(handler); });
  }

  // Typing, ticks and the selection go into the models at once; nothing runs.
  connect(ui_.AddressBox, &QLineEdit::textEdited, this,
          [this](const QString& text) { program_.AddressBox.Text = CoreText(text); });
  connect(ui_.PortBox, &QLineEdit::textEdited, this,
          [this](const QString& text) { program_.PortBox.Text = CoreText(text); });
  QListWidget* list = ui_.TerminalList;
  connect(list, &QListWidget::itemChanged, this, [this, list](QListWidgetItem* item) {
    const auto row = static_cast<std::size_t>(list->row(item));
    auto& items = program_.TerminalList.Items;
    if (row < items.size()) items[row].Checked = item->checkState() == Qt::Checked;
  });
  connect(list, &QListWidget::itemSelectionChanged, this, [this, list] {
    const QList<QListWidgetItem*> selected = list->selectedItems();
    program_.TerminalList.ItemIndex = selected.isEmpty() ? -1 : list->row(selected.front());
  });
}

bool MainWindow::Start() {
  std::optional<std::string> refusal;
  program_.HandleEvent([this, &refusal] {
    try {
      program_.Start();
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
  statusPanel_->setToolTip(ShownText(program_.VersionLine));
  return true;
}

void MainWindow::Handle(void (Program::*handler)()) {
  program_.HandleEvent([this, handler] { (program_.*handler)(); });
}

void MainWindow::OpenDownloadFile() {
  const std::optional<QString> path = openFileDialog_(this);
  if (!path) return;
  program_.HandleEvent([this, bytes = CoreText(*path)] { program_.ChooseSendFile(bytes); });
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
  for (const TCheckListItem& entry : program_.TerminalList.Items) {
    auto* item = new QListWidgetItem(ShownText(entry.Text), list);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(entry.Checked ? Qt::Checked : Qt::Unchecked);
    item->setSizeHint(QSize(1, ControlPanel::kItemHeight));
  }
  const int selected = program_.TerminalList.ItemIndex;
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
    Handle(&Program::Close);
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
