// "&Send Data" in the window with a bad port or a bad download file: the
// error box names the fault and nothing of a send cycle is started.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <string>

#include "window/window_fixture.h"

namespace {

const std::string kOneTicked =
    "[Terminal]\r\nTerminalPort=20404\r\nTerminalNums=1\r\n"
    "TerminalIP_1=127.0.0.2\r\nTerminalChecked_1=1\r\n";

struct BadSend {
  std::string port;  // typed into the port box
  std::string file;  // PLU-Down-Default.txt
  std::string box;
};

}  // namespace

TEST(WindowSendStart, ABadPortOrFileIsRefusedWithNothingStarted) {
  const std::string good = "1\t101\t0\tApple\t250\t0\t0\t0\t0\r\n";
  const BadSend cases[] = {
      {"20404x", good, "The port '20404x' is not a number from 1 to 65535 !"},
      {"70000", good, "The port '70000' is not a number from 1 to 65535 !"},
      {"20404", good + "2\t102\t300\tPear\t300\t0\t0\t0\t0\r\n",
       "I/O Error ! (PLU-Down-Default.txt, line 2, column 3: 300 does not fit 0 to 255)"},
  };
  for (const BadSend& c : cases) {
    SCOPED_TRACE(c.box);
    WindowFixture w(kOneTicked);
    w.folder.Write("PLU-Down-Default.txt", c.file);
    ModalAnswerer operatorStandIn;
    w.Panel().PortBox->clear();
    QTest::keyClicks(w.Panel().PortBox, QString::fromStdString(c.port));
    QTest::mouseClick(w.Panel().SendButton, Qt::LeftButton);
    ASSERT_EQ(operatorStandIn.boxes.size(), 1u);
    EXPECT_EQ(operatorStandIn.boxes[0].title, "ERROR");
    EXPECT_EQ(operatorStandIn.Texts()[0], c.box);
    EXPECT_FALSE(w.Model().CycleRunning());
    EXPECT_FALSE(w.manualLoop.Armed(TimerKind::Pause));
    w.manualLoop.Advance(10000);
    for (const FakeCall& call : w.link.calls) EXPECT_NE(call.name, "Connect");
    EXPECT_TRUE(w.link.sent.empty());
  }
}
