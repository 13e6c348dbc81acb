// Stopping a send cycle from the window: "Send Data" becomes "Stop" while a
// cycle runs, Esc stops it too, and closing the window during a cycle asks.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <string>

#include "window/window_fixture.h"

namespace {

const std::string kOneTicked =
    "[Terminal]\r\nTerminalPort=20404\r\nTerminalNums=1\r\n"
    "TerminalIP_1=127.0.0.2\r\nTerminalChecked_1=1\r\n";

}  // namespace

TEST(WindowStop, TheSendButtonOrEscStopsTheRunningCycle) {
  for (const bool byEsc : {false, true}) {
    SCOPED_TRACE(byEsc ? "Esc" : "the button");
    WindowFixture w(kOneTicked);
    w.folder.Write("PLU-Down-Default.txt", "1\t101\t0\tApple\t250\t0\t0\t0\t0\r\n");
    QPushButton* send = w.Panel().SendButton;
    QTest::mouseClick(send, Qt::LeftButton);
    ASSERT_TRUE(w.Model().CycleRunning());
    EXPECT_EQ(send->text(), "&Stop");
    if (byEsc) {
      QTest::keyClick(w.window.get(), Qt::Key_Escape);
    } else {
      QTest::mouseClick(send, Qt::LeftButton);
    }
    EXPECT_FALSE(w.Model().CycleRunning());
    EXPECT_EQ(send->text(), "&Send Data");
    const auto& log = w.Model().Activity().Lines();
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(log.end() - 3, log.end()),
              (std::vector<std::string>{"- Stopped 127.0.0.2", "", "* End *"}));
    w.manualLoop.Advance(10000);
    for (const FakeCall& call : w.link.calls) EXPECT_NE(call.name, "Connect");
  }
}

TEST(WindowStop, ClosingDuringACycleAsksFirst) {
  for (const bool yes : {false, true}) {
    SCOPED_TRACE(yes ? "yes" : "no");
    WindowFixture w(kOneTicked);
    w.folder.Write("PLU-Down-Default.txt", "1\t101\t0\tApple\t250\t0\t0\t0\t0\r\n");
    QTest::mouseClick(w.Panel().SendButton, Qt::LeftButton);
    ModalAnswerer operatorStandIn;
    if (yes) {
      operatorStandIn.beforeAnswer = [](QWidget* box) {
        if (auto* message = qobject_cast<QMessageBox*>(box)) {
          message->button(QMessageBox::Yes)->click();
        }
      };
    }
    w.window->close();
    ASSERT_EQ(operatorStandIn.Texts(),
              std::vector<std::string>{"A send cycle is running. Stop it and close Orlent?"});
    EXPECT_EQ(w.window->isVisible(), !yes);
    EXPECT_EQ(w.Model().CycleRunning(), !yes);
  }
}
