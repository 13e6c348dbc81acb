// The main window on Qt: draws Program's state as laid out (activity log on
// the left, control panel on the right, menus, the hidden tool bar strip and
// the status bar) and forwards the operator's input to the core. It holds
// what it shows (the typed address, the hidden fields as drawn) and owns the
// Program it shows; every handler runs through Program::HandleEvent.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "model/program.h"
#include "model/receive_order.h"
#include "window/busy_settings_retry.h"
#include "window/control_panel.h"
#include "window/file_dialog.h"
#include "window/help_windows.h"
#include "window/log_model.h"
#include "window/log_view.h"
#include "window/report_windows.h"
#include "window/terminal_list_states.h"
#include "window/window_actions.h"

class QLabel;
class SendDialog;
class TerminalsWindow;

class MainWindow : public QMainWindow, public ProgramView {
  Q_OBJECT

 public:
  // The client area below the menu bar, as laid out.
  static constexpr int kClientWidth = 693;
  static constexpr int kClientHeight = 570;

  MainWindow(EventLoop& loop, const LinkLibrary& link, std::string executablePath);
  ~MainWindow() override;

  // Starts the program, holding its folder as `role`, and shows what it set
  // up; call once, before show(). False, after an error box, when another
  // process holds the program folder.
  bool Start(FolderRole role = FolderRole::Reader);

  Program& Model() { return program_; }
  const ControlPanel& Panel() const { return panel_; }
  const WindowActions& Actions() const { return actions_; }
  const MainMenu& Menu() const { return menu_; }
  const HelpMenu& Help() const { return help_; }
  LogView* ActivityLog() const { return logView_; }
  const LogModel& Log() const { return log_; }
  QLabel* StatusPanel() const { return statusPanel_; }
  // The last send cycle's totals, in the status bar.
  QLabel* CycleTotals() const { return cycleTotals_; }
  void SetOpenFileDialog(OpenFileDialog dialog) { openFileDialog_ = std::move(dialog); }

  // ProgramView
  void LogAppended(const std::string& line) override;
  void LogReplaced(std::size_t index, const std::string& line) override;
  void LogCleared() override;
  void TerminalListChanged() override;
  void TerminalStateChanged(const TerminalState& state) override;
  void ShowError(const std::string& text) override;
  void ShowFailure(const std::string& text) override;
  void FocusSet(FocusTarget target) override;
  void EventHandled() override;
  // A received report opens in a report view of its own.
  void ReportReceived(const std::string& path, uint8_t code) override;
  void StatusMessage(const std::string& text) override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void BuildLayout();
  void WireInput();
  void Handle(void (Program::*handler)());
  // Runs an edit of the terminal list; the typed address is cleared when the edit took it.
  void EditList(const std::function<bool(const std::string& typed)>& edit);
  void DrawDataKind();
  // What the panel's fields and the menus show of the program, drawn last.
  struct Drawn {
    bool running;
    bool repairable;
    bool differences;
    std::string sendFile, downloadFile, port, served, uploadFile;
    DataKind kind;
    std::optional<ReportType> report;
    bool operator==(const Drawn&) const = default;
  };
  std::optional<Drawn> drawn_;
  // "Terminals…" while it is open: drawn again at each cycle's end and list change.
  QPointer<TerminalsWindow> terminals_;
  // Runs an edit that saves the settings file; see BusySettingsRetry.
  // Returns whether its save waits for the settings lock.
  bool Edit(const std::function<void()>& edit, std::function<void()> save);
  void OpenDownloadFile();
  void EditCycleOptions();
  void ShowTerminalList();
  // Runs a command that may start a cycle, and shows the cycle's states.
  void StartCycle(const std::function<void()>& command);
  // "Receive…": the dialog, then a receive cycle with its order.
  void Receive();
  // "Send…": the dialog, then a send cycle with its order; `preset`
  // chooses in the dialog before it shows.
  void SendChosen(const std::function<void(SendDialog&)>& preset = {});
  // "Items…": the send file of the chosen kind in an item editor.
  void OpenItems();
  // A verification cycle with `order`, kept for a repair after it.
  void StartVerify(const VerifyOrder& order);
  // The last verification found terminals that differ, and none runs.
  bool Repairable() const;
  // The last cycle was a verification that found differences.
  bool HasDifferences();
  // "View Differences": the last verification's differences in a window of their own.
  void ShowDifferences();
  void KeepBorderFixed();

  LogModel log_;
  ControlPanel panel_{};
  WindowActions actions_{};
  MainMenu menu_{};
  HelpMenu help_{};
  LogView* logView_ = nullptr;
  QLabel* statusPanel_ = nullptr;
  QLabel* cycleTotals_ = nullptr;
  std::unique_ptr<TerminalListStates> terminalStates_;
  std::unique_ptr<BusySettingsRetry> settingsRetry_;
  QSize designSize_;
  OpenFileDialog openFileDialog_ = AskForDownloadFile;
  bool closed_ = false;
  ReportWindows reports_{[this] {
    return ReadPluNames(program_.DownloadFileOf(DataKind::Plu), program_.CodePageInForce());
  }};
  // The order of the last verification the window started; none before one.
  std::optional<VerifyOrder> lastVerify_;
  // The order of the last receive the window started, offered again.
  std::optional<ReceiveOrder> lastReceive_;
  // Whether the last verification found differences, once looked at after its end.
  std::optional<bool> differences_;
  // Last, so the core goes before the widgets and models it talks to.
  Program program_;
};
