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
#include <QShortcut>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <filesystem>
#include <optional>

#include "model/receive_order.h"
#include "settings/settings_file.h"
#include "window/local_text.h"
#include "window/receive_dialog.h"
#include "window/report_view.h"
#include "window/settings_dialog.h"

namespace {

constexpr int kToolBarStripHeight = 23;
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
  auto* strip = new QWidget(central);
  strip->setObjectName("ToolBarStrip");
  strip->setFixedHeight(kToolBarStripHeight);
  auto* toolBar = new QToolBar(strip);
  toolBar->setObjectName("ActionToolBar");
  BuildActionToolBar(toolBar, actions_);
  toolBar->setVisible(false);
  column->addWidget(strip);

  auto* row = new QHBoxLayout;
  row->setSpacing(0);
  logView_ = new LogView(central);
  logView_->setObjectName("ActivityLog");
  logView_->setModel(&log_);
  row->addWidget(logView_, 1);
  panel_ = BuildControlPanel(central);
  row->addWidget(panel_.Frame);
  column->addLayout(row, 1);
  setCentralWidget(central);
  // The panel comes before the log when tabbing.
  QWidget::setTabOrder(panel_.Kinds.Speedkey, logView_);

  statusBar()->setFixedHeight(kStatusBarHeight);
  statusBar()->setSizeGripEnabled(false);
  statusPanel_ = new QLabel(statusBar());
  statusPanel_->setObjectName("StatusPanel");
  statusPanel_->setFixedWidth(kStatusPanelWidth);
  statusPanel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  statusBar()->addWidget(statusPanel_);
  cycleTotals_ = new QLabel(statusBar());
  cycleTotals_->setObjectName("CycleTotals");
  statusBar()->addWidget(cycleTotals_, 1);
  terminalStates_ = std::make_unique<TerminalListStates>(panel_.TerminalList, cycleTotals_);
  settingsRetry_ = std::make_unique<BusySettingsRetry>(
      statusBar(), [this](const std::function<void()>& handler) { program_.HandleEvent(handler); });
}

void MainWindow::MapControls() {
  Program& p = program_;
  const ControlPanel& ui = panel_;
  edits_ = {{ui.ServedAddress, &p.ServedAddress},
            {ui.PortBox, &p.PortBox},
            {ui.ConnectInterval, &p.ConnectInterval},
            {ui.ConnectRetry, &p.ConnectRetry},
            {ui.SendFileBox, &p.SendFileBox},
            {ui.UploadFileBox, &p.UploadFileBox},
            {ui.AddressBox, &p.AddressBox}};
  const DataKindRadios& shown = ui.Kinds;
  const DataKindButtons& held = p.Kinds;
  radios_ = {{shown.Plu, &held.Plu},
             {shown.Barcode, &held.Barcode},
             {shown.Report, &held.Report},
             {shown.PluReport, &held.PluReport},
             {shown.TimeReport, &held.TimeReport},
             {shown.GroupReport, &held.GroupReport},
             {shown.DeptReport, &held.DeptReport},
             {shown.ScaleIdReport, &held.ScaleIdReport},
             {shown.ClerkReport, &held.ClerkReport},
             {shown.TaxRateReport, &held.TaxRateReport},
             {shown.Ingredient, &held.Ingredient},
             {shown.ScrollMsg, &held.ScrollMsg},
             {shown.Speedkey, &held.Speedkey}};
  for (const auto& [widget, model] : edits_) focusTargets_[model] = widget;
  for (const auto& [widget, model] : radios_) focusTargets_[model] = widget;
  focusTargets_[&p.TerminalList] = ui.TerminalList;
  focusTargets_[&p.ActivityLog] = logView_;
}

void MainWindow::WireInput() {
  auto onClick = [this](QPushButton* button, auto&& slot) {
    connect(button, &QPushButton::clicked, this, slot);
  };
  onClick(panel_.AddButton, [this] { Handle(&Program::AddTerminal); });
  // Enter in the IP box adds the typed address, as "+" does.
  connect(panel_.AddressBox, &QLineEdit::returnPressed, this,
          [this] { Handle(&Program::AddTerminal); });
  onClick(panel_.DeleteButton, [this] { Handle(&Program::DeleteTerminal); });
  onClick(panel_.ChangeButton, [this] { Handle(&Program::ChangeTerminal); });
  // While a cycle runs the button stops it; Esc does the same.
  onClick(panel_.SendButton, [this] {
    if (program_.CycleRunning()) return Handle(&Program::StopCycle);
    StartCycle([this] { program_.SendToTickedTerminals(); });
  });
  auto* stop = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(stop, &QShortcut::activated, this, [this] {
    if (program_.CycleRunning()) Handle(&Program::StopCycle);
  });
  onClick(panel_.ReadFileButton, [this] { actions_.ReadFileAction->trigger(); });
  onClick(panel_.ClearLogButton, [this] { Handle(&Program::ClearLog); });
  onClick(panel_.ExitButton, [this] { actions_.ExitAction->trigger(); });
  connect(menu_.ClearLogItem, &QAction::triggered, this, [this] { Handle(&Program::ClearLog); });
  connect(menu_.SendToFailedItem, &QAction::triggered, this,
          [this] { StartCycle([this] { program_.SendToFailedTerminals(); }); });
  connect(menu_.ReceiveItem, &QAction::triggered, this, &MainWindow::Receive);
  connect(menu_.VerifyItem, &QAction::triggered, this,
          [this] { StartCycle([this] { program_.VerifyTerminals(); }); });

  connect(actions_.ExitAction, &QAction::triggered, this, &QWidget::close);
  connect(actions_.OpenAction, &QAction::triggered, this, &MainWindow::OpenDownloadFile);
  connect(actions_.SettingsAction, &QAction::triggered, this, &MainWindow::EditCycleOptions);
  const std::pair<QAction*, void (Program::*)()> runs[] = {
      {actions_.ConnectAction, &Program::Connect},
      {actions_.DisconnectAction, &Program::Disconnect},
      {actions_.UploadAction, &Program::Upload},
      {actions_.DownloadAction, &Program::Download},
      {actions_.ReadFileAction, &Program::ReadFile}};
  for (const auto& [action, handler] : runs) {
    connect(action, &QAction::triggered, this, [this, handler = handler] { Handle(handler); });
  }

  // Typing, ticks and the selection go into the models at once; nothing runs.
  connect(panel_.AddressBox, &QLineEdit::textEdited, this,
          [this](const QString& text) { program_.AddressBox.Text = CoreText(text); });
  connect(panel_.PortBox, &QLineEdit::textEdited, this,
          [this](const QString& text) { program_.PortBox.Text = CoreText(text); });
  QListWidget* list = panel_.TerminalList;
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
  // The window's thread is never held by another process's edit.
  if (program_.Settings) program_.Settings->WaitForLock(false);
  ShowTerminalList();
  ControlsChanged();
  statusPanel_->setToolTip(ShownText(program_.VersionLine));
  return true;
}

void MainWindow::Handle(void (Program::*handler)()) {
  // The list's edits save the whole list: saved again, and shown as saved.
  Edit([this, handler] { (program_.*handler)(); },
       [this] {
         program_.SaveTerminalSettings();
         program_.LoadTerminalSettings();
       });
}

void MainWindow::Edit(const std::function<void()>& edit, std::function<void()> save) {
  settingsRetry_->Edit(edit, std::move(save));
}

void MainWindow::StartCycle(const std::function<void()>& command) {
  program_.HandleEvent(command);
  if (!program_.CycleRunning()) return;
  std::vector<std::string> entries;
  for (const TCheckListItem& entry : program_.TerminalList.Items) entries.push_back(entry.Text);
  terminalStates_->ShowCycle(program_.CycleStates(), std::move(entries));
}

void MainWindow::Receive() {
  ReceiveDialog dialog(this, ReceivedFolderOf(program_.ProgramFolder));
  if (dialog.exec() != QDialog::Accepted) return;
  StartCycle([this, order = dialog.Order()] { program_.ReceiveFromTerminals(order); });
}

void MainWindow::OpenDownloadFile() {
  const std::optional<QString> path = openFileDialog_(this, ShownText(program_.DownloadFilePath()));
  if (!path) return;
  Edit([this, bytes = CoreText(*path)] { program_.PickSendFile(bytes); },
       [this] { program_.SaveTerminalSettings(); });
}

void MainWindow::EditCycleOptions() {
  SettingsDialog dialog(this, program_.StoredOptions, program_.StoredCodePage);
  if (dialog.exec() != QDialog::Accepted) return;
  auto change = [this, options = dialog.Options(), codePage = dialog.ChosenCodePage()] {
    program_.ChangeSettings(options, codePage);
  };
  Edit(change, change);
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

void MainWindow::TerminalStateChanged(const TerminalState& state) {
  terminalStates_->Update(state);
}

void MainWindow::ShowTerminalList() {
  QListWidget* list = panel_.TerminalList;
  const QSignalBlocker quiet(list);
  list->clear();
  std::vector<std::string> entries;
  for (const TCheckListItem& entry : program_.TerminalList.Items) {
    entries.push_back(entry.Text);
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
  terminalStates_->ListShown(entries);
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

void MainWindow::ReportReceived(const std::string& path, uint8_t code) {
  ShowReportView(this, path, code);
}

void MainWindow::ControlsChanged() {
  const QString send = program_.CycleRunning() ? "&Stop" : "&Send Data";
  if (panel_.SendButton->text() != send) panel_.SendButton->setText(send);
  // The Send File box is narrow: it shows the file's name, its tool tip the
  // full path of the file a send reads.
  const std::string sendFileName =
      std::filesystem::path(program_.SendFileBox.Text).filename().string();
  panel_.SendFileBox->setToolTip(ShownText(program_.DownloadFilePath()));
  for (const auto& [widget, model] : edits_) {
    const QString text = ShownText(model == &program_.SendFileBox ? sendFileName : model->Text);
    if (widget->text() != text) widget->setText(text);
  }
  for (const auto& [widget, model] : radios_) {
    widget->setEnabled(model->Enabled);
    if (model->Checked) widget->setChecked(true);
  }
  const bool idle = !program_.CycleRunning();
  actions_.SettingsAction->setEnabled(idle);
  menu_.SettingsItem->setEnabled(idle);
  menu_.ReceiveItem->setEnabled(idle);
  menu_.VerifyItem->setEnabled(idle);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // A running cycle is stopped first, and only when the operator says so.
  if (!closed_ && program_.CycleRunning()) {
    const QString running = program_.Receiving()   ? "A receive is running."
                            : program_.Verifying() ? "A verification is running."
                                                   : "A send cycle is running.";
    const auto answer =
        QMessageBox::question(this, "Orlent", running + " Stop it and close Orlent?",
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer != QMessageBox::Yes) return event->ignore();
    Handle(&Program::StopCycle);
  }
  // Every way of closing ends here. A save that fails is shown by the default
  // error handling, and the window closes all the same: keeping it open would
  // leave the operator no way out but to kill the program.
  // The close saves what the window holds, the edits still waiting too; when
  // another process holds the file then, the failure says it was not saved.
  if (!closed_) {
    closed_ = true;
    settingsRetry_->Stop();
    program_.HandleEvent([this] { program_.Close(); });
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
