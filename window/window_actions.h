// The window's named actions and the items that show them: the main menu,
// with its hidden entries, and the hidden action tool bar. An item shows its
// own caption where it has one and runs the action it is linked to.
#pragma once

class QAction;
class QMenu;
class QMenuBar;
class QToolBar;
class QWidget;

struct WindowActions {
  QAction* ExitAction;        // "File": closes the window
  QAction* OpenAction;        // "File": Ctrl+O, the file-open dialog
  QAction* ConnectAction;     // "Communication"
  QAction* DisconnectAction;  // "Communication"
  QAction* UploadAction;      // "Communication"
  QAction* DownloadAction;    // "Communication": the single download, not a send cycle
  QAction* ReadFileAction;    // "Communication": lists the download file in the log
  QAction* SettingsAction;    // "Communication": the send cycle's options
};

// Creates the actions, each with its "category" property, as children of
// `window`; Ctrl+O is added to `window` so that it works from every control.
WindowActions BuildActions(QWidget* window);

struct MainMenu {
  QMenu* FileMenu;
  QAction* ReadFileItem;
  QAction* ClearLogItem;  // not linked to an action: the window runs ClearLog
  QAction* ItemsItem;     // Ctrl+E, not linked to an action: the send file in the item editor
  QAction* ImportItem;    // not linked to an action: a shop system's export made a download file
  QAction* OpenItem;      // hidden; captioned "Open", it runs the connect action
  QAction* ExitItem;
  QMenu* CommunicationMenu;
  QAction* ConnectItem;
  QAction* DisconnectItem;
  QAction* UploadItem;
  QAction* DownloadItem;      // captioned "Send Data": the single download, not a send cycle
  QAction* SendItem;          // not linked to an action: the Send dialog, then a send cycle
  QAction* SendToFailedItem;  // not linked to an action: a send cycle over the failed terminals
  QAction* ReceiveItem;       // not linked to an action: the Receive dialog, then a receive cycle
  QAction* VerifyItem;  // not linked to an action: the ticked terminals checked against the file
  QAction* RepairItem;  // not linked to an action: the differing terminals repaired and verified
  QAction* DifferencesItem;  // not linked to an action: the last verification's differences
  QAction* TerminalsItem;    // not linked to an action: the terminals window
  QAction* SettingsItem;     // not while a send cycle runs
};

MainMenu BuildMainMenu(QMenuBar* bar, const WindowActions& actions);
void BuildActionToolBar(QToolBar* bar, const WindowActions& actions);
