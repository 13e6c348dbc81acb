#include "window/main_window.h"

#include <QBoxLayout>
#include <QCloseEvent>
#include <QComboBox>
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
#include <algorithm>
#include <filesystem>
#include <optional>

#include "model/held_orders.h"
#include "model/receive_order.h"
#include "records/record_kinds.h"
#include "settings/settings_file.h"
#include "window/differences_window.h"
#include "window/held_marks.h"
#include "window/help_windows.h"
#include "window/import_dialog.h"
#include "window/item_editor.h"
#include "window/local_text.h"
#include "window/receive_dialog.h"
#include "window/report_view.h"
#include "window/send_dialog.h"
#include "window/settings_dialog.h"
#include "window/terminals_window.h"

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
  help_ = BuildHelpMenu(menuBar());

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

void MainWindow::WireInput() {
  auto onClick = [this](QPushButton* button, auto&& slot) {
    connect(button, &QPushButton::clicked, this, slot);
  };
  auto add = [this] {
    EditList([this](const std::string& typed) { return program_.AddTerminal(typed); });
  };
  onClick(panel_.AddButton, add);
  // Enter in the IP box adds the typed address, as "+" does.
  connect(panel_.AddressBox, &QLineEdit::returnPressed, this, add);
  onClick(panel_.DeleteButton,
          [this] { EditList([this](const std::string&) { return program_.DeleteTerminal(); }); });
  onClick(panel_.ChangeButton, [this] {
    EditList([this](const std::string& typed) { return program_.ChangeTerminal(typed); });
  });
  // While a cycle runs the button stops it; Esc does the same.
  onClick(panel_.SendButton, [this] {
    if (program_.CycleRunning()) return Handle(&Program::StopCycle);
    StartCycle([this] { program_.Send(TickedSendOrder(program_)); });
  });
  auto* stop = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(stop, &QShortcut::activated, this, [this] {
    if (program_.CycleRunning()) Handle(&Program::StopCycle);
  });
  onClick(panel_.ReadFileButton, [this] { actions_.ReadFileAction->trigger(); });
  onClick(panel_.ClearLogButton, [this] { Handle(&Program::ClearLog); });
  onClick(panel_.ExitButton, [this] { actions_.ExitAction->trigger(); });
  connect(menu_.ClearLogItem, &QAction::triggered, this, [this] { Handle(&Program::ClearLog); });
  connect(menu_.ImportItem, &QAction::triggered, this, [this] {
    ImportDialog(this, program_.ProgramFolder(), program_.CodePageInForce(), AskForExportFile)
        .exec();
  });
  connect(menu_.SendToFailedItem, &QAction::triggered, this, [this] {
    StartCycle([this] { program_.SendToFailedTerminals(TickedSendOrder(program_)); });
  });
  connect(menu_.SendItem, &QAction::triggered, this, [this] { SendChosen(); });
  connect(menu_.ItemsItem, &QAction::triggered, this, &MainWindow::OpenItems);
  connect(menu_.ReceiveItem, &QAction::triggered, this, &MainWindow::Receive);
  connect(help_.UserGuideItem, &QAction::triggered, this, [this] {
    QDialog* guide = NewUserGuideWindow(this, UserGuidePath(program_.ExecutablePath()));
    guide->setAttribute(Qt::WA_DeleteOnClose);
    guide->show();
  });
  connect(help_.AboutItem, &QAction::triggered, this, [this] {
    QMessageBox::about(this, "About Orlent",
                       AboutText(program_.VersionLine(), program_.ProgramFolder()));
  });
  connect(menu_.VerifyItem, &QAction::triggered, this,
          [this] { StartVerify(TickedVerifyOrder(program_)); });
  connect(menu_.DifferencesItem, &QAction::triggered, this, &MainWindow::ShowDifferences);
  connect(menu_.TerminalsItem, &QAction::triggered, this, [this] {
    if (!terminals_) terminals_ = new TerminalsWindow(this, program_);
    terminals_->show();
    terminals_->raise();
    terminals_->activateWindow();
  });
  connect(menu_.RepairItem, &QAction::triggered, this, [this] {
    if (Repairable()) StartVerify(RepairOrder(program_, *lastVerify_));
  });

  connect(actions_.ExitAction, &QAction::triggered, this, &QWidget::close);
  connect(actions_.OpenAction, &QAction::triggered, this, &MainWindow::OpenDownloadFile);
  connect(actions_.SettingsAction, &QAction::triggered, this, &MainWindow::EditCycleOptions);
  // Each gives its order as the program holds it now: the served terminal,
  // the chosen kind, the send and upload files.
  const std::pair<QAction*, std::function<void(Program&)>> runs[] = {
      {actions_.ConnectAction, [](Program& p) { p.Connect(ServedOrder(p)); }},
      {actions_.DisconnectAction, [](Program& p) { p.Disconnect(ServedOrder(p)); }},
      {actions_.UploadAction, [](Program& p) { p.Upload(ServedUploadOrder(p)); }},
      {actions_.DownloadAction, [](Program& p) { p.Download(ServedDownloadOrder(p)); }},
      {actions_.ReadFileAction, [](Program& p) { p.ReadFile(SendFileListing(p)); }}};
  for (const auto& [action, run] : runs) {
    connect(action, &QAction::triggered, this,
            [this, run = run] { program_.HandleEvent([this, &run] { run(program_); }); });
  }

  // The port, ticks and the selection go into the terminal list at once; nothing runs.
  connect(panel_.PortBox, &QLineEdit::textEdited, this,
          [this](const QString& text) { program_.Terminals().SetPort(CoreText(text)); });
  QListWidget* list = panel_.TerminalList;
  connect(list, &QListWidget::itemChanged, this, [this, list](QListWidgetItem* item) {
    const auto row = static_cast<std::size_t>(list->row(item));
    program_.Terminals().Tick(row, item->checkState() == Qt::Checked);
  });
  connect(list, &QListWidget::itemSelectionChanged, this, [this, list] {
    const QList<QListWidgetItem*> selected = list->selectedItems();
    program_.Terminals().Select(selected.isEmpty() ? -1 : list->row(selected.front()));
  });
}

bool MainWindow::Start(FolderRole role) {
  std::optional<std::string> refusal;
  program_.HandleEvent([this, &refusal, role] {
    try {
      program_.Start(StartUp{role, false, "window"});
    } catch (const FolderInUse& inUse) {
      refusal = inUse.what();
    }
  });
  if (refusal) {
    ShowError(*refusal);
    return false;
  }
  // The window's thread is never held by another process's edit.
  if (SettingsFile* settings = program_.Settings()) settings->WaitForLock(false);
  ShowTerminalList();
  EventHandled();
  statusPanel_->setToolTip(ShownText(program_.VersionLine()));
  return true;
}

namespace {

// A save of the list, run again while the settings lock is held elsewhere:
// saved, and shown as saved.
std::function<void()> ListSave(Program& program) {
  return [&program] {
    program.SaveTerminalSettings();
    program.LoadTerminalSettings();
  };
}

}  // namespace

void MainWindow::Handle(void (Program::*handler)()) {
  Edit([this, handler] { (program_.*handler)(); }, ListSave(program_));
}

bool MainWindow::Edit(const std::function<void()>& edit, std::function<void()> save) {
  return settingsRetry_->Edit(edit, std::move(save));
}

void MainWindow::EditList(const std::function<bool(const std::string& typed)>& edit) {
  bool taken = false;
  const bool held = Edit([&, typed = CoreText(panel_.AddressBox->text())] { taken = edit(typed); },
                         ListSave(program_));
  // An edit whose save waits for the lock is in the list already.
  if (taken || held) panel_.AddressBox->clear();
}

void MainWindow::StartCycle(const std::function<void()>& command) {
  program_.HandleEvent(command);
  if (!program_.CycleRunning()) return;
  differences_.reset();
  std::vector<std::string> entries;
  for (const TerminalEntry& entry : program_.Terminals().Entries())
    entries.push_back(entry.address);
  TerminalListStates::ResultSource verification;
  if (program_.Verifying()) verification = [this] { return program_.Results(); };
  terminalStates_->ShowCycle(program_.CycleStates(), std::move(entries), std::move(verification));
}

bool MainWindow::HasDifferences() {
  // Asked after every event: the results are looked at once per cycle ended.
  if (program_.CycleRunning()) differences_.reset();
  if (!lastVerify_ || program_.CycleRunning() || program_.Cycles().LastKind() != CycleKind::Verify)
    return false;
  if (!differences_) {
    const std::vector<TerminalResult> results = program_.Results();
    differences_ = std::any_of(results.begin(), results.end(), [](const TerminalResult& r) {
      return r.outcome == Outcome::Differs;
    });
  }
  return *differences_;
}

void MainWindow::ShowDifferences() {
  if (!HasDifferences()) return;
  const RecordKind* kind = KindOfCode(CodeOf(lastVerify_->kind));
  if (!kind) return;
  (new DifferencesWindow(this, DifferenceRows(*kind, program_.Results())))->show();
}

void MainWindow::Receive() {
  const TerminalList& list = program_.Terminals();
  const int selected = list.Selected();
  const bool chosen = selected >= 0 && selected < static_cast<int>(list.Entries().size());
  ReceiveDialog dialog(this, ReceivedFolderOf(program_.ProgramFolder()),
                       chosen ? list.Entries()[static_cast<std::size_t>(selected)].address : "",
                       lastReceive_);
  if (dialog.exec() != QDialog::Accepted) return;
  lastReceive_ = dialog.Order();
  StartCycle([this, order = *lastReceive_] { program_.ReceiveFromTerminals(order); });
}

void MainWindow::SendChosen(const std::function<void(SendDialog&)>& preset) {
  SendDialog dialog(this, program_, openFileDialog_);
  if (preset) preset(dialog);
  if (dialog.exec() != QDialog::Accepted) return;
  StartCycle([this, order = dialog.Order()] { program_.Send(order); });
}

void MainWindow::OpenItems() {
  const DataKind chosen = program_.Kind().kind;
  const RecordKind* kind = KindOfCode(CodeOf(chosen));
  if (chosen == DataKind::Report || !kind) {
    return ShowError("The reports have no download file: choose a data kind to edit its items.");
  }
  auto send = [this](const RecordKind& sent, const std::string& path) {
    SendChosen([&](SendDialog& dialog) {
      dialog.KindBox->setCurrentIndex(dialog.KindBox->findData(sent.code));
      dialog.FileBox->setText(ShownText(path));
    });
  };
  auto marks = [this, chosen](const std::string& path) {
    SendPlan plan;
    const PlanOrder order{chosen, path, TargetEntries(program_, SendTarget::Ticked), {}, false};
    program_.HandleEvent([&] { plan = program_.Plan(order); });
    return HeldMarksOf(plan);
  };
  auto* editor = new ItemEditor(this, *kind, program_.CodePageInForce(), send, marks);
  std::string error;
  if (!editor->Open(program_.DownloadFilePath(), error)) {
    delete editor;
    return ShowError(error);
  }
  editor->show();
}

void MainWindow::StartVerify(const VerifyOrder& order) {
  StartCycle([this, &order] { program_.Verify(order); });
  if (program_.Verifying()) lastVerify_ = order;
}

bool MainWindow::Repairable() const {
  return lastVerify_ && !program_.CycleRunning() &&
         AnyTicked(RepairOrder(program_, *lastVerify_).entries);
}

void MainWindow::OpenDownloadFile() {
  const std::optional<QString> path = openFileDialog_(this, ShownText(program_.DownloadFilePath()));
  if (!path) return;
  Edit([this, bytes = CoreText(*path)] { program_.PickSendFile(bytes); },
       [this] { program_.SaveTerminalSettings(); });
}

void MainWindow::EditCycleOptions() {
  SettingsDialog dialog(this, program_.StoredCycleOptions(), program_.StoredCodePage());
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
  if (terminals_) terminals_->Refresh();
  EventHandled();
}

void MainWindow::TerminalStateChanged(const TerminalState& state) {
  terminalStates_->Update(state);
}

void MainWindow::ShowTerminalList() {
  QListWidget* list = panel_.TerminalList;
  const QSignalBlocker quiet(list);
  list->clear();
  std::vector<std::string> entries;
  for (const TerminalEntry& entry : program_.Terminals().Entries()) {
    entries.push_back(entry.address);
    auto* item = new QListWidgetItem(ShownText(entry.address), list);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(entry.ticked ? Qt::Checked : Qt::Unchecked);
    item->setSizeHint(QSize(1, ControlPanel::kItemHeight));
  }
  const int selected = program_.Terminals().Selected();
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

void MainWindow::FocusSet(FocusTarget target) {
  QWidget* widget = target == FocusTarget::NewAddress ? static_cast<QWidget*>(panel_.AddressBox)
                                                      : panel_.TerminalList;
  widget->setFocus(Qt::OtherFocusReason);
}

void MainWindow::ReportReceived(const std::string& path, uint8_t code) {
  reports_.Open(this, path, code);
}

void MainWindow::StatusMessage(const std::string& text) {
  constexpr int kShownMs = 10000;
  statusBar()->showMessage(ShownText(text), kShownMs);
}

namespace {

void Draw(QLineEdit* field, const std::string& text) {
  const QString shown = ShownText(text);
  if (field->text() != shown) field->setText(shown);
}

}  // namespace

void MainWindow::EventHandled() {
  // Every answer of a cycle is an event: the fields are drawn again only
  // when what they show has changed.
  const Drawn now{program_.CycleRunning(),
                  Repairable(),
                  HasDifferences(),
                  program_.SendFile(),
                  program_.DownloadFilePath(),
                  program_.Terminals().Port(),
                  program_.ServedAddress(),
                  program_.UploadFileName(),
                  program_.Kind().kind,
                  program_.Kind().report};
  if (drawn_ == now) return;
  if (terminals_ && drawn_ && drawn_->running && !now.running) terminals_->Refresh();
  drawn_ = now;
  const QString send = program_.CycleRunning() ? "&Stop" : "&Send Data";
  if (panel_.SendButton->text() != send) panel_.SendButton->setText(send);
  // The Send File box is narrow: it shows the file's name, its tool tip the
  // full path of the file a send reads.
  Draw(panel_.SendFileBox, std::filesystem::path(program_.SendFile()).filename().string());
  panel_.SendFileBox->setToolTip(ShownText(program_.DownloadFilePath()));
  Draw(panel_.PortBox, program_.Terminals().Port());
  Draw(panel_.ServedAddress, program_.ServedAddress());
  Draw(panel_.UploadFileBox, program_.UploadFileName());
  DrawDataKind();
  const bool idle = !program_.CycleRunning();
  actions_.SettingsAction->setEnabled(idle);
  menu_.SettingsItem->setEnabled(idle);
  menu_.ReceiveItem->setEnabled(idle);
  menu_.VerifyItem->setEnabled(idle);
  menu_.SendItem->setEnabled(idle);
  menu_.RepairItem->setEnabled(now.repairable);
  menu_.DifferencesItem->setEnabled(now.differences);
}

// The hidden data kind and report type buttons show the choice in force.
void MainWindow::DrawDataKind() {
  const KindChoice& choice = program_.Kind();
  const DataKindRadios& k = panel_.Kinds;
  const std::pair<DataKind, QRadioButton*> kinds[] = {{DataKind::Plu, k.Plu},
                                                      {DataKind::Barcode, k.Barcode},
                                                      {DataKind::Ingredient, k.Ingredient},
                                                      {DataKind::ScrollMsg, k.ScrollMsg},
                                                      {DataKind::Speedkey, k.Speedkey},
                                                      {DataKind::Report, k.Report}};
  for (const auto& [kind, radio] : kinds) {
    if (kind == choice.kind) radio->setChecked(true);
  }
  const std::pair<ReportType, QRadioButton*> reports[] = {{ReportType::Plu, k.PluReport},
                                                          {ReportType::Time, k.TimeReport},
                                                          {ReportType::Group, k.GroupReport},
                                                          {ReportType::Dept, k.DeptReport}};
  for (const auto& [type, radio] : reports) {
    radio->setEnabled(choice.kind == DataKind::Report);
    if (choice.report == type) radio->setChecked(true);
  }
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
