// The window's edits while another Orlent process holds the settings file's
// edit lock: nothing waits, the status bar says so, the edit stays shown and
// is saved once the lock is free; a close under the lock says it saved nothing.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <functional>
#include <string>

#include "settings/folder_lock.h"
#include "window/window_fixture.h"

namespace {

const std::string kTwoTerminals =
    "[Terminal]\r\nTerminalPort=20404\r\nTerminalNums=2\r\n"
    "TerminalIP_1=127.0.0.2\r\nTerminalChecked_1=1\r\n"
    "TerminalIP_2=127.0.0.3\r\nTerminalChecked_2=0\r\n";

const QString kWaiting =
    "Orlent.ini is in use by another Orlent process: the change is saved as soon as it is free";

struct HeldEdit {
  std::string name;
  std::function<void(WindowFixture&)> edit;
  QStringList shown;  // the list while the lock is held and after
  std::string saved;  // the Terminal section's entries once saved
};

QStringList Entries(const QListWidget* list) {
  QStringList entries;
  for (int row = 0; row < list->count(); ++row) entries << list->item(row)->text();
  return entries;
}

}  // namespace

TEST(WindowBusySettings, AnEditUnderAnotherProcesssLockIsSavedOnceItIsFree) {
  const HeldEdit cases[] = {
      {"add",
       [](WindowFixture& w) {
         QTest::keyClicks(w.Panel().AddressBox, "127.0.0.4");
         QTest::mouseClick(w.Panel().AddButton, Qt::LeftButton);
       },
       {"127.0.0.2", "127.0.0.3", "127.0.0.4"},
       "TerminalNums=3\r\nTerminalIP_1=127.0.0.2\r\nTerminalChecked_1=1\r\n"
       "TerminalIP_2=127.0.0.3\r\nTerminalChecked_2=0\r\n"
       "TerminalIP_3=127.0.0.4\r\nTerminalChecked_3=0\r\n"},
      {"change",
       [](WindowFixture& w) {
         w.Panel().TerminalList->setCurrentRow(1);
         QTest::keyClicks(w.Panel().AddressBox, "127.0.0.5");
         QTest::mouseClick(w.Panel().ChangeButton, Qt::LeftButton);
       },
       {"127.0.0.2", "127.0.0.5"},
       "TerminalNums=2\r\nTerminalIP_1=127.0.0.2\r\nTerminalChecked_1=1\r\n"
       "TerminalIP_2=127.0.0.5\r\nTerminalChecked_2=0\r\n"},
  };
  for (const HeldEdit& c : cases) {
    SCOPED_TRACE(c.name);
    WindowFixture w(kTwoTerminals);
    ModalAnswerer operatorStandIn;
    FolderLock other(w.folder.File("Orlent.ini.lock"));  // as orlent-cli holds it
    other.LockEdits(true);
    ASSERT_TRUE(other.HoldsEdits());
    c.edit(w);
    EXPECT_TRUE(operatorStandIn.boxes.empty());
    EXPECT_EQ(w.window->statusBar()->currentMessage(), kWaiting);
    EXPECT_EQ(w.folder.Read("Orlent.ini"), kTwoTerminals);
    EXPECT_EQ(Entries(w.Panel().TerminalList), c.shown);
    EXPECT_EQ(w.Panel().AddressBox->text(), "") << "taken into the list, not to be typed again";

    other.UnlockEdits();
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return w.window->statusBar()->currentMessage().isEmpty(); }, 20000));
    EXPECT_EQ(w.folder.Read("Orlent.ini"), "[Terminal]\r\nTerminalPort=20404\r\n" + c.saved);
    EXPECT_EQ(Entries(w.Panel().TerminalList), c.shown);
    EXPECT_TRUE(operatorStandIn.boxes.empty());

    // A close under the lock waits for nothing and says that nothing was saved.
    other.LockEdits(true);
    const std::string saved = w.folder.Read("Orlent.ini");
    w.Panel().TerminalList->item(0)->setCheckState(Qt::Unchecked);
    w.window->close();
    ASSERT_EQ(operatorStandIn.Texts().size(), 1u);
    EXPECT_EQ(operatorStandIn.Texts()[0], "Unable to write to " + w.folder.File("Orlent.ini") +
                                              ": another Orlent process is changing it");
    EXPECT_EQ(w.folder.Read("Orlent.ini"), saved);
  }
}
