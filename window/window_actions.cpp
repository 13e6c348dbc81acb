#include "window/window_actions.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

namespace {

// The ellipsis says the item opens a dialog.
constexpr const char* kSettingsCaption = "Settings\u2026";
constexpr const char* kReceiveCaption = "Receive\u2026";
constexpr const char* kSendCaption = "Send\u2026";

QAction* NewAction(QWidget* window, const char* name, const char* category,
                   const QString& caption) {
  auto* action = new QAction(caption, window);
  action->setObjectName(name);
  action->setProperty("category", category);
  return action;
}

// An item with a caption of its own that runs `action` (nothing when null).
QAction* AddItem(QWidget* owner, const char* name, const QString& caption, QAction* action,
                 bool shown = true) {
  auto* item = new QAction(caption, owner);
  item->setObjectName(name);
  item->setVisible(shown);
  if (action) QObject::connect(item, &QAction::triggered, action, [action] { action->trigger(); });
  owner->addAction(item);
  return item;
}

void AddSeparator(QWidget* owner, bool shown = true) {
  AddItem(owner, "", {}, nullptr, shown)->setSeparator(true);
}

}  // namespace

WindowActions BuildActions(QWidget* window) {
  WindowActions a{};
  a.ExitAction = NewAction(window, "ExitAction", "File", "E&xit");
  a.OpenAction = NewAction(window, "OpenAction", "File", "&Open...");
  a.OpenAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  a.OpenAction->setShortcutContext(Qt::WindowShortcut);
  window->addAction(a.OpenAction);
  a.ConnectAction = NewAction(window, "ConnectAction", "Communication", "&Connect");
  a.DisconnectAction = NewAction(window, "DisconnectAction", "Communication", "Disconnect");
  a.UploadAction = NewAction(window, "UploadAction", "Communication", "Upload");
  a.DownloadAction = NewAction(window, "DownloadAction", "Communication", "Download");
  a.ReadFileAction = NewAction(window, "ReadFileAction", "Communication", "Read Data");
  a.SettingsAction = NewAction(window, "SettingsAction", "Communication", kSettingsCaption);
  return a;
}

MainMenu BuildMainMenu(QMenuBar* bar, const WindowActions& a) {
  MainMenu m{};
  QMenu* file = m.FileMenu = bar->addMenu("File");
  file->setObjectName("FileMenu");
  m.ReadFileItem = AddItem(file, "ReadFileItem", "Read File", a.ReadFileAction);
  m.ClearLogItem = AddItem(file, "ClearLogItem", "Clear Log", nullptr);
  m.ItemsItem = AddItem(file, "ItemsItem", "&Items\u2026", nullptr);
  m.ItemsItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
  m.ImportItem = AddItem(file, "ImportItem", "&Import\u2026", nullptr);
  m.OpenItem = AddItem(file, "OpenItem", "Open", a.ConnectAction, false);
  AddSeparator(file);
  m.ExitItem = AddItem(file, "ExitItem", "E&xit", a.ExitAction);

  QMenu* communication = m.CommunicationMenu = bar->addMenu("Communication");
  communication->setObjectName("CommunicationMenu");
  m.ConnectItem = AddItem(communication, "ConnectItem", "&Connect", a.ConnectAction, false);
  m.DisconnectItem =
      AddItem(communication, "DisconnectItem", "Disconnect", a.DisconnectAction, false);
  AddSeparator(communication, false);
  m.UploadItem = AddItem(communication, "UploadItem", "Upload", a.UploadAction, false);
  m.DownloadItem = AddItem(communication, "DownloadItem", "Send Data", a.DownloadAction);
  m.SendItem = AddItem(communication, "SendItem", kSendCaption, nullptr);
  m.SendToFailedItem =
      AddItem(communication, "SendToFailedItem", "Send to &Failed Terminals", nullptr);
  m.ReceiveItem = AddItem(communication, "ReceiveItem", kReceiveCaption, nullptr);
  m.VerifyItem = AddItem(communication, "VerifyItem", "&Verify Terminals", nullptr);
  m.RepairItem = AddItem(communication, "RepairItem", "&Repair Differing Terminals", nullptr);
  m.DifferencesItem = AddItem(communication, "DifferencesItem", "View &Differences", nullptr);
  m.TerminalsItem = AddItem(communication, "TerminalsItem", "&Terminals…", nullptr);
  AddSeparator(communication);
  m.SettingsItem = AddItem(communication, "SettingsItem", kSettingsCaption, a.SettingsAction);
  return m;
}

void BuildActionToolBar(QToolBar* bar, const WindowActions& a) {
  AddItem(bar, "", "&Connect", a.ConnectAction);
  AddItem(bar, "", "&Disconnect", a.DisconnectAction);
  AddSeparator(bar);
  AddItem(bar, "", "&Upload", a.UploadAction, false);
  AddItem(bar, "", "D&ownload", a.DownloadAction);
  AddSeparator(bar);
  AddItem(bar, "", "&Read Data", a.ReadFileAction);
}
