#include "window/window_actions.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

namespace {

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

QAction* AddSeparator(QWidget* owner, const char* name, bool shown = true) {
  QAction* separator = AddItem(owner, name, {}, nullptr, shown);
  separator->setSeparator(true);
  return separator;
}

}  // namespace

WindowActions BuildActions(QWidget* window) {
  WindowActions a{};
  a.FileExit1 = NewAction(window, "FileExit1", "File", "E&xit");
  a.FileOpen1 = NewAction(window, "FileOpen1", "File", "&Open...");
  a.FileOpen1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  a.FileOpen1->setShortcutContext(Qt::WindowShortcut);
  window->addAction(a.FileOpen1);
  a.Action1 = NewAction(window, "Action1", "Communication", "&Connect");
  a.Action2 = NewAction(window, "Action2", "Communication", "Disconnect");
  a.Action3 = NewAction(window, "Action3", "Communication", "Upload");
  a.Action4 = NewAction(window, "Action4", "Communication", "Download");
  a.Action6 = NewAction(window, "Action6", "Communication", "Read Data");
  return a;
}

MainMenu BuildMainMenu(QMenuBar* bar, const WindowActions& a) {
  MainMenu m{};
  m.Exit1 = bar->addMenu("File");
  m.Exit1->setObjectName("Exit1");
  m.ReadData1 = AddItem(m.Exit1, "ReadData1", "Read File", a.Action6);
  m.Clear1 = AddItem(m.Exit1, "Clear1", "Clear Log", nullptr);
  m.Open1 = AddItem(m.Exit1, "Open1", "Open", a.Action1, false);
  AddSeparator(m.Exit1, "");
  m.Exit2 = AddItem(m.Exit1, "Exit2", "E&xit", a.FileExit1);

  m.Communication1 = bar->addMenu("Communication");
  m.Communication1->setObjectName("Communication1");
  m.Connect1 = AddItem(m.Communication1, "Connect1", "&Connect", a.Action1, false);
  m.Disconnect1 = AddItem(m.Communication1, "Disconnect1", "Disconnect", a.Action2, false);
  m.N1 = AddSeparator(m.Communication1, "N1", false);
  m.Upload1 = AddItem(m.Communication1, "Upload1", "Upload", a.Action3, false);
  m.Download1 = AddItem(m.Communication1, "Download1", "Send Data", a.Action4);
  return m;
}

void BuildActionToolBar(QToolBar* bar, const WindowActions& a) {
  AddItem(bar, "", "&Connect", a.Action1);
  AddItem(bar, "", "&Disconnect", a.Action2);
  AddSeparator(bar, "");
  AddItem(bar, "", "&Upload", a.Action3, false);
  AddItem(bar, "", "D&ownload", a.Action4);
  AddSeparator(bar, "");
  AddItem(bar, "", "&Read Data", a.Action6);
}
