// The window through its real widgets, offscreen, over the real core with the
// fake link library.
#include "window/main_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QWindow>
#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <thread>

#include "records/records.h"
#include "window/window_fixture.h"

namespace {

const std::string kThreeTerminals =
    "[Terminal]\r\nTerminalPort=20405\r\nTerminalNums=3\r\n"
    "TerminalIP_1=127.0.0.2\r\nTerminalChecked_1=1\r\n"
    "TerminalIP_2=127.0.0.3\r\nTerminalChecked_2=0\r\n"
    "TerminalIP_3=caf\xc3\xa9\r\nTerminalChecked_3=1\r\n";

const std::string kFourTerminals =
    "[Terminal]\r\nTerminalPort=20405\r\nTerminalNums=4\r\n"
    "TerminalIP_1=127.0.0.2\r\nTerminalChecked_1=1\r\n"
    "TerminalIP_2=127.0.0.3\r\nTerminalChecked_2=0\r\n"
    "TerminalIP_3=caf\xc3\xa9\r\nTerminalChecked_3=1\r\n"
    "TerminalIP_4=127.0.0.4\r\nTerminalChecked_4=0\r\n";

const std::string kNoneTicked =
    "[Terminal]\r\nTerminalPort=20404\r\nTerminalNums=1\r\n"
    "TerminalIP_1=127.0.0.2\r\nTerminalChecked_1=0\r\n";

const QString kSettingsCaption = QString::fromUtf8("Settings\u2026");

const std::string kTwoPluLines =
    "1\t101\t0\tApple\t250\t0\t0\t0\t0\r\n2\t102\t0\tPear\t300\t0\t0\t0\t0\r\n";

QStringList EntryTexts(const QListWidget* list) {
  QStringList texts;
  for (int row = 0; row < list->count(); ++row) texts << list->item(row)->text();
  return texts;
}

std::vector<bool> EntryTicks(const QListWidget* list) {
  std::vector<bool> ticks;
  for (int row = 0; row < list->count(); ++row) {
    ticks.push_back(list->item(row)->checkState() == Qt::Checked);
  }
  return ticks;
}

// The menu's entries as (caption, shown); a separator reads "-".
std::vector<std::pair<QString, bool>> Entries(const QWidget* owner) {
  std::vector<std::pair<QString, bool>> entries;
  for (const QAction* action : owner->actions()) {
    entries.emplace_back(action->isSeparator() ? "-" : action->text(), action->isVisible());
  }
  return entries;
}

QStringList FocusWalk(QWidget* start, int presses) {
  WindowFixture::Focus(start);
  QStringList visited;
  for (int i = 0; i < presses; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ProcessEvents();
    visited << QApplication::focusWidget()->objectName();
  }
  return visited;
}

TEST(WindowStart, ShowsTheTerminalsAndDefaultsOfThePreparedSettings) {
  WindowFixture w(kThreeTerminals);
  const ControlPanel& ui = w.Panel();
  EXPECT_EQ(w.window->windowTitle(), "Orlent V3.0.0.0");
  EXPECT_EQ(EntryTexts(ui.TerminalList),
            (QStringList{"127.0.0.2", "127.0.0.3", QString::fromUtf8("caf\xc3\xa9")}));
  EXPECT_EQ(EntryTicks(ui.TerminalList), (std::vector<bool>{true, false, true}));
  EXPECT_TRUE(ui.TerminalList->selectedItems().isEmpty());
  EXPECT_EQ(ui.PortBox->text(), "20405");
  EXPECT_EQ(ui.AddressBox->text(), "");
  EXPECT_EQ(ui.SendFileBox->text(), "PLU-Down-Default.txt");
  EXPECT_EQ(ui.SendFileBox->toolTip(),
            QString::fromStdString(w.folder.File("PLU-Down-Default.txt")));
  EXPECT_EQ(w.LogRows(), QStringList{"Orlent V3.0.0.0"});
  EXPECT_TRUE(ui.Kinds.Plu->isChecked());
  // The link library's version line is where a user looks for it: the status bar panel.
  EXPECT_EQ(w.window->StatusPanel()->toolTip(), "- TLTCPIP.DLL Version 1.4 [26-12-8 ]");
  EXPECT_EQ(w.window->StatusPanel()->text(), "");
}

// `widget`'s rectangle in the coordinates of `panel`, one of its ancestors.
QRect In(const QWidget* panel, const QWidget* widget) {
  return QRect(widget->mapTo(panel, QPoint(0, 0)), widget->size());
}

TEST(WindowLayout, TheLogAndThePanelShareTheWindowAndNoControlCoversAnother) {
  WindowFixture w;
  MainWindow& win = *w.window;
  const ControlPanel& ui = w.Panel();
  // The client area below the menu bar is 693 x 570: the tool bar strip on
  // top, the status bar below, and between them the log on the left and the
  // panel on the right, side by side over the whole width.
  EXPECT_EQ(win.width(), 693);
  EXPECT_EQ(win.height() - win.menuBar()->height(), 570);
  EXPECT_FALSE(win.findChild<QToolBar*>("ActionToolBar")->isVisible());
  const QRect strip = win.findChild<QWidget*>("ToolBarStrip")->geometry();
  const QRect log = win.ActivityLog()->geometry();
  const QRect panel = ui.Frame->geometry();
  EXPECT_EQ(strip.width(), win.width());
  EXPECT_EQ(log.left(), 0);
  EXPECT_EQ(log.top(), strip.bottom() + 1);
  EXPECT_EQ(panel.top(), log.top());
  EXPECT_EQ(panel.left(), log.right() + 1);
  EXPECT_EQ(panel.right() + 1, win.width());
  EXPECT_EQ(panel.height(), log.height());
  EXPECT_EQ(win.centralWidget()->geometry().top(), win.menuBar()->height());
  EXPECT_EQ(win.centralWidget()->height(), log.bottom() + 1);
  EXPECT_EQ(win.statusBar()->geometry().top(), win.centralWidget()->geometry().bottom() + 1);
  EXPECT_EQ(win.statusBar()->geometry().bottom() + 1, win.height());
  EXPECT_GT(log.width(), panel.width()) << "the log takes the larger part";

  // Every shown control lies wholly inside the panel, and none covers another.
  const std::vector<QWidget*> shown = {
      ui.TerminalListLabel, ui.TerminalList,   ui.AddressBox,     ui.AddButton,     ui.DeleteButton,
      ui.ChangeButton,      ui.PortLabel,      ui.PortBox,        ui.SendFileLabel, ui.SendFileBox,
      ui.SendButton,        ui.ReadFileButton, ui.ClearLogButton, ui.ExitButton};
  const QRect inside(QPoint(0, 0), ui.Frame->size());
  for (std::size_t i = 0; i < shown.size(); ++i) {
    const QRect a = In(ui.Frame, shown[i]);
    EXPECT_TRUE(inside.contains(a)) << shown[i]->objectName().toStdString();
    for (std::size_t j = i + 1; j < shown.size(); ++j) {
      EXPECT_FALSE(a.intersects(In(ui.Frame, shown[j])))
          << shown[i]->objectName().toStdString() << " covers "
          << shown[j]->objectName().toStdString();
    }
  }
  // Each label stands left of its field, on the field's line.
  for (const auto& [label, field] :
       {std::pair{ui.TerminalListLabel, static_cast<QWidget*>(ui.TerminalList)},
        std::pair{ui.PortLabel, static_cast<QWidget*>(ui.PortBox)},
        std::pair{ui.SendFileLabel, static_cast<QWidget*>(ui.SendFileBox)}}) {
    const QRect l = In(ui.Frame, label), f = In(ui.Frame, field);
    EXPECT_LT(l.right(), f.left()) << label->objectName().toStdString();
    EXPECT_TRUE(l.top() >= f.top() && l.top() <= f.bottom()) << label->objectName().toStdString();
  }
  // The terminal list, the new address with its three buttons, the port and
  // the send file run down the panel with their fields' left edges in line;
  // the four big buttons follow in two rows: Send, Read, then Clear, Exit.
  const QRect list = In(ui.Frame, ui.TerminalList), address = In(ui.Frame, ui.AddressBox),
              port = In(ui.Frame, ui.PortBox), file = In(ui.Frame, ui.SendFileBox);
  EXPECT_TRUE(list.left() == address.left() && address.left() == port.left() &&
              port.left() == file.left());
  EXPECT_TRUE(list.bottom() < address.top() && address.bottom() < port.top() &&
              port.bottom() < file.top());
  QRect before = address;
  for (QWidget* button : {ui.AddButton, ui.DeleteButton, ui.ChangeButton}) {
    const QRect r = In(ui.Frame, button);
    EXPECT_EQ(r.top(), address.top()) << button->objectName().toStdString();
    EXPECT_GT(r.left(), before.right()) << button->objectName().toStdString();
    before = r;
  }
  const QRect send = In(ui.Frame, ui.SendButton), read = In(ui.Frame, ui.ReadFileButton),
              clear = In(ui.Frame, ui.ClearLogButton), exit = In(ui.Frame, ui.ExitButton);
  EXPECT_GT(send.top(), file.bottom());
  EXPECT_TRUE(send.top() == read.top() && clear.top() == exit.top() && send.bottom() < clear.top());
  EXPECT_TRUE(send.left() == clear.left() && read.left() == exit.left() &&
              send.right() < read.left());

  EXPECT_EQ(ui.SendButton->text(), "&Send Data");
  EXPECT_EQ(ui.ReadFileButton->text(), "&Read File");
  EXPECT_EQ(ui.ClearLogButton->text(), "C&lear Log");
  EXPECT_EQ(ui.ExitButton->text(), "E&xit");
  EXPECT_EQ(ui.AddButton->toolTip(), "Add");
  EXPECT_EQ(ui.DeleteButton->toolTip(), "Delete");
  EXPECT_EQ(ui.ChangeButton->toolTip(), "Change");
  EXPECT_EQ(ui.AddButton->iconSize(), QSize(10, 10));
  for (QPushButton* button : win.findChildren<QPushButton*>()) {
    EXPECT_FALSE(button->isDefault() || button->autoDefault())
        << button->objectName().toStdString();
  }
  EXPECT_FALSE(ui.SendFileBox->isEnabled());
  EXPECT_EQ(win.font().family(), "Tahoma");
  EXPECT_EQ(win.font().pointSize(), 8);
}

TEST(WindowLayout, HiddenControlsStayHiddenAndEnabledStatesHold) {
  WindowFixture w(kThreeTerminals);
  const ControlPanel& ui = w.Panel();
  const std::initializer_list<QWidget*> hidden = {
      ui.ConnectButton,     ui.DisconnectButton, ui.DownloadButton,     ui.ServedAddress,
      ui.ConnectInterval,   ui.ConnectRetry,     ui.UploadFileBox,      ui.ConnectIntervalLabel,
      ui.ConnectRetryLabel, ui.UploadFileLabel,  ui.Kinds.Plu,          ui.Kinds.Barcode,
      ui.Kinds.Report,      ui.Kinds.Ingredient, ui.Kinds.ScrollMsg,    ui.Kinds.Speedkey,
      ui.ReportTypeGroup,   ui.Kinds.PluReport,  ui.Kinds.TaxRateReport};
  auto expectHidden = [&] {
    for (QWidget* widget : hidden) {
      EXPECT_FALSE(widget->isVisible()) << widget->objectName().toStdString();
    }
    EXPECT_FALSE(ui.SendFileBox->isEnabled());
  };
  expectHidden();
  WindowFixture::Focus(ui.PortBox);
  w.window->FocusSet(FocusTarget::TerminalList);
  EXPECT_EQ(QApplication::focusWidget(), ui.TerminalList);
  w.window->FocusSet(FocusTarget::NewAddress);
  EXPECT_EQ(QApplication::focusWidget(), ui.AddressBox);

  w.folder.Write("PLU-Down-Default.txt", kTwoPluLines);
  QTest::mouseClick(ui.SendButton, Qt::LeftButton);
  w.manualLoop.Advance(3000);  // a send cycle is under way
  expectHidden();
  for (QWidget* visible :
       std::initializer_list<QWidget*>{ui.TerminalList, ui.AddressBox, ui.AddButton, ui.PortBox,
                                       ui.SendButton, ui.ExitButton}) {
    EXPECT_TRUE(visible->isVisible() && visible->isEnabled())
        << visible->objectName().toStdString();
  }
}

TEST(WindowMenus, ShowExactlyTheLaidOutEntries) {
  WindowFixture w;
  const MainMenu& menu = w.window->Menu();
  QStringList titles;
  for (QAction* action : w.window->menuBar()->actions()) titles << action->text();
  EXPECT_EQ(titles, (QStringList{"File", "Communication", "&Help"}));

  using E = std::vector<std::pair<QString, bool>>;
  EXPECT_EQ(Entries(menu.FileMenu), (E{{"Read File", true},
                                       {"Clear Log", true},
                                       {"&Items\u2026", true},
                                       {"&Import…", true},
                                       {"Open", false},
                                       {"-", true},
                                       {"E&xit", true}}));
  EXPECT_EQ(Entries(menu.CommunicationMenu), (E{{"&Connect", false},
                                                {"Disconnect", false},
                                                {"-", false},
                                                {"Upload", false},
                                                {"Send Data", true},
                                                {"Send\u2026", true},
                                                {"Send to &Failed Terminals", true},
                                                {"Receive\u2026", true},
                                                {"&Verify Terminals", true},
                                                {"&Repair Differing Terminals", true},
                                                {"View &Differences", true},
                                                {"&Terminals\u2026", true},

                                                {"-", true},
                                                {kSettingsCaption, true}}));
  EXPECT_EQ(Entries(w.window->findChild<QToolBar*>("ActionToolBar")), (E{{"&Connect", true},
                                                                         {"&Disconnect", true},
                                                                         {"-", true},
                                                                         {"&Upload", false},
                                                                         {"D&ownload", true},
                                                                         {"-", true},
                                                                         {"&Read Data", true}}));

  const WindowActions& a = w.window->Actions();
  EXPECT_EQ(a.OpenAction->shortcut(), QKeySequence("Ctrl+O"));
  // The window's short cuts: Ctrl+O of its actions, Ctrl+E of "Items…", F1
  // of the user guide,
  // and Esc, which stops a running cycle.
  QStringList keys;
  for (QAction* action : w.window->findChildren<QAction*>()) {
    if (!action->shortcut().isEmpty()) keys << action->shortcut().toString();
  }
  for (QShortcut* shortcut : w.window->findChildren<QShortcut*>()) {
    keys << shortcut->key().toString();
  }
  EXPECT_EQ(keys, (QStringList{"Ctrl+O", "Ctrl+E", "F1", "Esc"}));
}

TEST(WindowMenus, EntriesRunTheirHandlers) {
  WindowFixture w;
  w.folder.Write("PLU-Down-Default.txt", kTwoPluLines);
  const MainMenu& menu = w.window->Menu();
  menu.ReadFileItem->trigger();
  EXPECT_EQ(w.LogRows(), (QStringList{"Orlent V3.0.0.0", "", "1. 1, 101, 0, Apple, 250",
                                      "2. 2, 102, 0, Pear, 300", "", "* End *"}));
  menu.ClearLogItem->trigger();
  EXPECT_EQ(w.LogRows(), QStringList{"Orlent V3.0.0.0"});
  QTest::mouseClick(w.Panel().ReadFileButton, Qt::LeftButton);
  EXPECT_EQ(w.LogRows().size(), 6);
  QTest::mouseClick(w.Panel().ClearLogButton, Qt::LeftButton);
  EXPECT_EQ(w.LogRows(), QStringList{"Orlent V3.0.0.0"});
}

class CtrlO : public ::testing::TestWithParam<const char*> {};

TEST_P(CtrlO, OpensTheDialogFromTheFocusedControl) {
  WindowFixture w(kThreeTerminals);
  int asked = 0;
  QString shownFirst;  // the file the dialog starts from
  std::optional<QString> answer = "/srv/prices/week 12.plu";
  w.window->SetOpenFileDialog([&](QWidget*, const QString& current) {
    ++asked;
    shownFirst = current;
    return answer;
  });
  QWidget* control = w.window->findChild<QWidget*>(GetParam());
  ASSERT_NE(control, nullptr);
  WindowFixture::Focus(control);
  QTest::keyClick(control, Qt::Key_O, Qt::ControlModifier);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(shownFirst, QString::fromStdString(w.folder.File("PLU-Down-Default.txt")));
  // The box shows the file's name, its tool tip the full path.
  EXPECT_EQ(w.Panel().SendFileBox->text(), "week 12.plu");
  EXPECT_EQ(w.Panel().SendFileBox->toolTip(), "/srv/prices/week 12.plu");
  EXPECT_EQ(w.Model().SendFile(), "/srv/prices/week 12.plu");
  EXPECT_TRUE(w.Model().FileChosen());
  EXPECT_EQ(w.Model().RememberedSendFile(), "/srv/prices/week 12.plu");

  answer.reset();  // the operator cancels
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_O, Qt::ControlModifier);
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(shownFirst, "/srv/prices/week 12.plu");
  EXPECT_EQ(w.Panel().SendFileBox->text(), "week 12.plu");
}

INSTANTIATE_TEST_SUITE_P(EveryKindOfControl, CtrlO,
                         ::testing::Values("TerminalList", "AddressBox", "AddButton",
                                           "ChangeButton", "PortBox", "SendButton", "ExitButton",
                                           "ActivityLog"));

TEST(WindowFileDialog, OpensOnTextFilesInTheProgramFolderAndCancelChangesNothing) {
  WindowFixture w;
  ModalAnswerer operatorStandIn;  // cancels the real dialog
  QTest::keyClick(w.Panel().AddressBox, Qt::Key_O, Qt::ControlModifier);
  ASSERT_EQ(operatorStandIn.boxes.size(), 1u);
  const ModalAnswerer::Box& dialog = operatorStandIn.boxes[0];
  EXPECT_EQ(dialog.kind, "QFileDialog");
  EXPECT_EQ(dialog.filters, (QStringList{"Text (*.txt)", "PLU (*.plu)", "All (*)"}));
  EXPECT_EQ(dialog.selectedFilter, "Text (*.txt)");
  EXPECT_EQ(dialog.directory, QString::fromStdString(w.folder.path()));
  EXPECT_EQ(w.Panel().SendFileBox->text(), "PLU-Down-Default.txt");
  EXPECT_FALSE(w.Model().FileChosen());
}

// A name typed without an extension takes the one of the filter the operator
// chose last in the dialog's file-type box ("D" a press of Down, "U" of Up).
struct FilterChoice {
  const char* keys;
  const char* filter;
  const char* suffix;
};

void PrintTo(const FilterChoice& choice, std::ostream* out) {
  *out << "keys \"" << choice.keys << "\"";
}

class FileDialogFilter : public ::testing::TestWithParam<FilterChoice> {};

TEST_P(FileDialogFilter, GivesTheTypedNameItsExtension) {
  WindowFixture w;
  ModalAnswerer operatorStandIn;
  operatorStandIn.beforeAnswer = [](QWidget* box) {
    auto* fileTypes = box->findChild<QComboBox*>("fileTypeCombo");
    ASSERT_NE(fileTypes, nullptr);
    for (const char* key = GetParam().keys; *key; ++key) {
      QTest::keyClick(fileTypes, *key == 'D' ? Qt::Key_Down : Qt::Key_Up);
    }
  };
  QTest::keyClick(w.Panel().AddressBox, Qt::Key_O, Qt::ControlModifier);
  ASSERT_EQ(operatorStandIn.boxes.size(), 1u);
  EXPECT_EQ(operatorStandIn.boxes[0].selectedFilter, GetParam().filter);
  EXPECT_EQ(operatorStandIn.boxes[0].defaultSuffix, GetParam().suffix);
}

INSTANTIATE_TEST_SUITE_P(EachFilter, FileDialogFilter,
                         ::testing::Values(FilterChoice{"", "Text (*.txt)", "txt"},
                                           FilterChoice{"D", "PLU (*.plu)", "plu"},
                                           FilterChoice{"DD", "All (*)", ""},
                                           FilterChoice{"DDUU", "Text (*.txt)", "txt"}));

TEST(WindowKeyboard, TabWalksThePanelInOrderThenTheLog) {
  WindowFixture w(kThreeTerminals);
  EXPECT_EQ(FocusWalk(w.Panel().TerminalList, 11),
            (QStringList{"AddressBox", "AddButton", "DeleteButton", "ChangeButton", "PortBox",
                         "SendButton", "ReadFileButton", "ClearLogButton", "ExitButton",
                         "ActivityLog", "TerminalList"}));
}

TEST(WindowKeyboard, AccessKeysPressTheirButtons) {
  WindowFixture w(kThreeTerminals);
  w.folder.Write("PLU-Down-Default.txt", kTwoPluLines);
  ModalAnswerer operatorStandIn;
  // A button pressed by its access key shows itself down a moment before it clicks.
  auto press = [&](Qt::Key key, const std::function<bool()>& done) {
    QTest::keyClick(QApplication::focusWidget(), key, Qt::AltModifier);
    return QTest::qWaitFor(done, 2000);
  };
  WindowFixture::Focus(w.Panel().AddressBox);
  EXPECT_TRUE(press(Qt::Key_R, [&] { return w.LogRows().size() == 6; })) << "Alt+R reads";
  EXPECT_TRUE(press(Qt::Key_L, [&] { return w.LogRows().size() == 1; })) << "Alt+L clears";
  EXPECT_TRUE(press(Qt::Key_S, [&] { return w.manualLoop.Armed(TimerKind::Pause); }))
      << "Alt+S starts a send cycle";
  EXPECT_TRUE(press(Qt::Key_S, [&] { return !w.Model().CycleRunning(); }))
      << "Alt+S on the Stop button stops it";
  EXPECT_TRUE(press(Qt::Key_X, [&] { return !w.window->isVisible(); })) << "Alt+X closes";
  EXPECT_TRUE(operatorStandIn.boxes.empty());
}

TEST(WindowSendData, TheButtonAndTheMenuEntryRunDifferentHandlers) {
  WindowFixture w(kNoneTicked);
  w.folder.Write("PLU-Down-Default.txt", kTwoPluLines);
  ModalAnswerer operatorStandIn;

  // The button starts a send cycle, which needs a ticked terminal.
  QTest::mouseClick(w.Panel().SendButton, Qt::LeftButton);
  ASSERT_EQ(operatorStandIn.boxes.size(), 1u);
  EXPECT_EQ(operatorStandIn.boxes[0].title, "ERROR");
  EXPECT_EQ(operatorStandIn.boxes[0].text, "No Terminal To Send !");
  EXPECT_EQ(operatorStandIn.boxes[0].buttons, QMessageBox::Ok);
  EXPECT_TRUE(w.link.sent.empty());

  // The menu entry downloads once, at once, to the address in ServedAddress,
  // on its connection: without one the log has its failure line and the
  // status bar says why.
  w.Model().Serve("127.0.0.9");
  w.window->Menu().DownloadItem->trigger();
  EXPECT_TRUE(w.link.sent.empty());
  EXPECT_EQ(w.LogRows().last(), "- Fail to Send Plu (0)");
  EXPECT_EQ(w.window->statusBar()->currentMessage(),
            "Nothing sent to 127.0.0.9: it is not connected");
  w.Model().HandleEvent([&] { w.Model().Connect(ServedOrder(w.Model())); });
  w.manualLoop.RunPending();
  const std::size_t connects = w.link.calls.size();
  w.window->Menu().DownloadItem->trigger();
  EXPECT_EQ(operatorStandIn.boxes.size(), 1u);
  EXPECT_FALSE(w.manualLoop.Armed(TimerKind::Pause));
  ASSERT_EQ(w.link.sent.size(), 1u);
  EXPECT_EQ(w.link.sent[0].address, "127.0.0.9");
  EXPECT_EQ(w.link.sent[0].packet.Code, kCodePlu);
  EXPECT_EQ(w.link.sent[0].packet.Direction, kDirectionWrite);
  EXPECT_EQ(w.LogRows().last(), "- Success to Send Plu (1)");
  for (std::size_t i = connects; i < w.link.calls.size(); ++i) {
    EXPECT_NE(w.link.calls[i].name, "Connect");
  }
}

TEST(WindowSendData, TheButtonServesTheTickedTerminalAfterThePause) {
  WindowFixture w(kThreeTerminals);
  w.folder.Write("PLU-Down-Default.txt", kTwoPluLines);
  ModalAnswerer operatorStandIn;
  const std::size_t callsAtStart = w.link.calls.size();
  QTest::mouseClick(w.Panel().SendButton, Qt::LeftButton);
  EXPECT_EQ(w.link.calls.size(), callsAtStart) << "nothing is dialled before the pause";
  w.manualLoop.Advance(3000);
  ASSERT_FALSE(w.link.sent.empty());
  EXPECT_EQ(w.link.sent[0].address, "127.0.0.2");
  EXPECT_TRUE(w.LogRows().contains("- Success Connect 127.0.0.2"));
  EXPECT_TRUE(operatorStandIn.boxes.empty());
}

TEST(WindowTerminals, EditsThroughTheWidgetsReachTheSettingsFile) {
  WindowFixture w(kThreeTerminals);
  const ControlPanel& ui = w.Panel();
  ModalAnswerer operatorStandIn;

  WindowFixture::Focus(ui.AddressBox);
  QTest::keyClicks(ui.AddressBox, "127.0.0.4");
  QTest::mouseClick(ui.AddButton, Qt::LeftButton);
  EXPECT_EQ(EntryTexts(ui.TerminalList).last(), "127.0.0.4");
  EXPECT_EQ(ui.AddressBox->text(), "");
  EXPECT_EQ(QApplication::focusWidget(), ui.AddressBox);
  EXPECT_EQ(w.folder.Read("Orlent.ini"), kFourTerminals);

  // Select the second entry, type a replacement, and Change it.
  ui.TerminalList->setCurrentRow(1);
  EXPECT_EQ(w.Model().Terminals().Selected(), 1);
  WindowFixture::Focus(ui.AddressBox);
  QTest::keyClicks(ui.AddressBox, "127.0.0.5");
  QTest::mouseClick(ui.ChangeButton, Qt::LeftButton);
  EXPECT_EQ(EntryTexts(ui.TerminalList).at(1), "127.0.0.5");
  EXPECT_EQ(ui.TerminalList->currentRow(), 1);
  EXPECT_EQ(QApplication::focusWidget(), ui.TerminalList);

  // Delete it: the first entry is selected afterwards.
  QTest::mouseClick(ui.DeleteButton, Qt::LeftButton);
  EXPECT_EQ(EntryTexts(ui.TerminalList),
            (QStringList{"127.0.0.2", QString::fromUtf8("caf\xc3\xa9"), "127.0.0.4"}));
  EXPECT_EQ(ui.TerminalList->currentRow(), 0);
  EXPECT_TRUE(ui.TerminalList->item(0)->isSelected());

  // Add with an empty IP box: the error box, and the focus back in the IP box.
  QTest::mouseClick(ui.AddButton, Qt::LeftButton);
  EXPECT_EQ(operatorStandIn.Texts(),
            std::vector<std::string>{"Please define the new IP address !"});
  // The window's focus is in the IP box when the window is active again (the
  // offscreen platform has no window manager to hand the activation back).
  EXPECT_EQ(w.window->focusWidget(), ui.AddressBox);
  w.window->activateWindow();
  EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == ui.AddressBox; }, 1000));
}

// "+", Enter and the keypad's Enter in the IP box all add the typed address.
class AddKey : public ::testing::TestWithParam<const char*> {};

TEST_P(AddKey, AddsTheTypedAddressOrAsksForOne) {
  WindowFixture w(kThreeTerminals);
  const ControlPanel& ui = w.Panel();
  ModalAnswerer operatorStandIn;
  const std::string way = GetParam();
  auto add = [&] {
    if (way == "Plus") {
      QTest::mouseClick(ui.AddButton, Qt::LeftButton);
    } else {
      QTest::keyClick(ui.AddressBox, way == "Enter" ? Qt::Key_Return : Qt::Key_Enter,
                      way == "Enter" ? Qt::NoModifier : Qt::KeypadModifier);
    }
  };
  WindowFixture::Focus(ui.AddressBox);
  QTest::keyClicks(ui.AddressBox, "127.0.0.4");
  add();
  EXPECT_EQ(EntryTexts(ui.TerminalList),
            (QStringList{"127.0.0.2", "127.0.0.3", QString::fromUtf8("caf\xc3\xa9"), "127.0.0.4"}));
  EXPECT_EQ(ui.AddressBox->text(), "");
  EXPECT_EQ(w.folder.Read("Orlent.ini"), kFourTerminals);
  EXPECT_TRUE(operatorStandIn.boxes.empty());

  WindowFixture::Focus(ui.AddressBox);
  add();  // the IP box is empty now
  EXPECT_EQ(operatorStandIn.Texts(),
            std::vector<std::string>{"Please define the new IP address !"});
  EXPECT_EQ(ui.TerminalList->count(), 4);
}

INSTANTIATE_TEST_SUITE_P(EachWay, AddKey, ::testing::Values("Plus", "Enter", "KeypadEnter"));

TEST(WindowTerminals, TypedTextIsEncodedAndStoredTextDecoded) {
  WindowFixture w(kThreeTerminals);
  const ControlPanel& ui = w.Panel();
  WindowFixture::Focus(ui.AddressBox);
  for (const QChar c : QString::fromUtf8("K\xc3\xa4se")) {
    // Typed keys as the keyboard delivers them; QTest::keyClicks knows ASCII only.
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
    QApplication::sendEvent(ui.AddressBox, &press);
  }
  EXPECT_EQ(ui.AddressBox->text(), QString::fromUtf8("K\xc3\xa4se"));
  EXPECT_EQ(w.Model().Terminals().Entries().at(2).address, "caf\xc3\xa9");
  QTest::mouseClick(ui.AddButton, Qt::LeftButton);
  EXPECT_EQ(w.Model().Terminals().Entries().at(3).address, "K\xc3\xa4se");
}

// Ticks and the port box go into the models at once and reach the file at close.
class ClosePath : public ::testing::TestWithParam<const char*> {};

TEST_P(ClosePath, SavesTheSettingsFile) {
  WindowFixture w(kThreeTerminals);
  const ControlPanel& ui = w.Panel();
  ui.TerminalList->item(1)->setCheckState(Qt::Checked);
  ui.TerminalList->item(0)->setCheckState(Qt::Unchecked);
  WindowFixture::Focus(ui.PortBox);
  ui.PortBox->selectAll();
  QTest::keyClicks(ui.PortBox, "20999");
  EXPECT_EQ(w.Model().Terminals().Port(), "20999");

  const std::string path = GetParam();
  if (path == "title bar") {
    w.window->windowHandle()->close();  // the window system's close request
  } else if (path == "Exit button") {
    QTest::mouseClick(ui.ExitButton, Qt::LeftButton);
  } else {
    w.window->Menu().ExitItem->trigger();
  }
  EXPECT_FALSE(w.window->isVisible());
  const std::string saved = w.folder.Read("Orlent.ini");
  EXPECT_EQ(saved,
            "[Terminal]\r\nTerminalPort=20999\r\nTerminalNums=3\r\n"
            "TerminalIP_1=127.0.0.2\r\nTerminalChecked_1=0\r\n"
            "TerminalIP_2=127.0.0.3\r\nTerminalChecked_2=1\r\n"
            "TerminalIP_3=caf\xc3\xa9\r\nTerminalChecked_3=1\r\n");
}

INSTANTIATE_TEST_SUITE_P(EveryWay, ClosePath,
                         ::testing::Values("title bar", "Exit button", "File menu Exit"),
                         [](const auto& info) {
                           std::string name = info.param;
                           std::erase(name, ' ');
                           return name;
                         });

TEST(WindowClose, AFailedSaveIsShownAndTheWindowClosesAnyway) {
  WindowFixture w(kThreeTerminals);
  // A folder where the settings file should be: the file cannot be replaced.
  std::filesystem::remove(w.folder.File("Orlent.ini"));
  std::filesystem::create_directory(w.folder.File("Orlent.ini"));
  ModalAnswerer operatorStandIn;
  w.window->close();
  ASSERT_EQ(operatorStandIn.boxes.size(), 1u);
  EXPECT_EQ(operatorStandIn.boxes[0].title, "Orlent");
  EXPECT_EQ(operatorStandIn.boxes[0].text.toStdString(),
            "Unable to write to " + w.folder.File("Orlent.ini"));
  EXPECT_FALSE(w.window->isVisible());
  w.window->close();  // a second close request saves nothing more
  EXPECT_EQ(operatorStandIn.boxes.size(), 1u);
}

TEST(WindowGeometry, MaximizingWidensTheLogAndKeepsThePanel) {
  WindowFixture w;
  MainWindow& win = *w.window;
  const ControlPanel& ui = w.Panel();
  const QSize designLog = win.ActivityLog()->size();
  const int panelWidth = ui.Frame->width();
  const QRect send = ui.SendButton->geometry(), list = ui.TerminalList->geometry();
  win.showMaximized();
  ASSERT_TRUE(
      QTest::qWaitFor([&] { return win.ActivityLog()->width() > designLog.width(); }, 2000));
  EXPECT_GT(win.ActivityLog()->height(), designLog.height());
  EXPECT_EQ(ui.Frame->width(), panelWidth);
  EXPECT_EQ(ui.Frame->geometry().right(), win.centralWidget()->width() - 1);
  EXPECT_EQ(ui.Frame->height(), win.ActivityLog()->height());
  EXPECT_EQ(ui.SendButton->geometry(), send) << "the controls keep their places in the panel";
  EXPECT_EQ(ui.TerminalList->geometry(), list);

  QTest::qWait(20);
  EXPECT_TRUE(win.isMaximized()) << "a maximized window keeps its size";
  win.showNormal();
  ASSERT_TRUE(QTest::qWaitFor([&] { return win.ActivityLog()->size() == designLog; }, 2000));
}

TEST(WindowGeometry, TheBorderCannotBeResized) {
  WindowFixture w;
  MainWindow& win = *w.window;
  const QSize design = win.size();
  win.resize(design + QSize(120, 80));  // as a drag on the border would
  EXPECT_TRUE(QTest::qWaitFor([&] { return win.size() == design; }, 2000));
  win.resize(design - QSize(120, 80));
  EXPECT_EQ(win.size(), design) << "the laid-out size is the smallest";
}

TEST(WindowDownload, AnswersFromTheLibraryThreadCountTheProgressLineUp) {
  WindowFixture w("", WindowFixture::Loop::Qt);
  std::string file;
  for (int n = 1; n <= 3334; ++n)
    file += std::to_string(n) + "\t" + std::to_string(n) + "\t0\tItem\t1\t0\t0\t0\t0\r\n";
  w.folder.Write("PLU-Down-Default.txt", file);
  w.Model().Serve("127.0.0.2");
  // The connect runs off the window's thread; once it has come back, the
  // terminal's answers reach its session.
  w.window->Actions().ConnectAction->trigger();
  ASSERT_TRUE(
      QTest::qWaitFor([&] { return w.LogRows().contains("- Success Connect 127.0.0.2"); }, 5000));
  w.window->Menu().ClearLogItem->trigger();
  w.window->Menu().DownloadItem->trigger();
  ASSERT_EQ(w.link.sent.size(), 1u);

  // The terminal acknowledges every record from the library's own thread.
  std::thread library([&] {
    PluRecord ack{};
    for (int n = 1; n <= 3334; ++n) {
      ack.PluNo = n;
      w.link.Deliver(kCodePlu, kDirectionWrite, ack);
    }
  });
  const bool done = QTest::qWaitFor(
      [&] { return w.LogRows().contains("- Complete Send Plu (Total : 3334)"); }, 60000);
  library.join();
  ASSERT_TRUE(done);
  EXPECT_EQ(w.link.sent.size(), 3334u);
  EXPECT_EQ(w.LogRows(), (QStringList{"Orlent V3.0.0.0", "- Success to Send Plu (3334)",
                                      "- Complete Send Plu (Total : 3334)",
                                      "- Success to Disconect 127.0.0.2"}));
}

}  // namespace
