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
  QAction* FileExit1;  // "File": closes the window
  QAction* FileOpen1;  // "File": Ctrl+O, the file-open dialog
  QAction* Action1;    // "Communication": connect
  QAction* Action2;    // "Communication": disconnect
  QAction* Action3;    // "Communication": upload
  QAction* Action4;    // "Communication": download
  QAction* Action6;    // "Communication": read data
};

// Creates the actions, each with its "category" property, as children of
// `window`; Ctrl+O is added to `window` so that it works from every control.
WindowActions BuildActions(QWidget* window);

struct MainMenu {
  QMenu* Exit1;  // "File"
  QAction* ReadData1;
  QAction* Clear1;  // not linked to an action: the window runs ClearLog
  QAction* Open1;
  QAction* Exit2;
  QMenu* Communication1;
  QAction* Connect1;
  QAction* Disconnect1;
  QAction* N1;
  QAction* Upload1;
  QAction* Download1;  // "Send Data": the single download, not a send cycle
};

MainMenu BuildMainMenu(QMenuBar* bar, const WindowActions& actions);
void BuildActionToolBar(QToolBar* bar, const WindowActions& actions);
