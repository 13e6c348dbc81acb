// "Communication › Terminals…" after a send in which one terminal cannot be
// reached: each entry's row, a name given in the table and kept in the
// settings file's section of its own, the window drawn again at a cycle's end,
// the filter, and an entry's history.
#include "window/terminals_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <chrono>
#include <filesystem>
#include <string>

#include "tests/support/echo_answer.h"
#include "window/terminals_table.h"
#include "window/window_fixture.h"

namespace {

// A send in which 127.0.0.2 stores both records and 127.0.0.3 cannot be
// reached, on 2026-12-10 at `hour`:00:00; a verification of 127.0.0.2 the day before.
void SendWithOneFailure(WindowFixture& w, int hour = 8) {
  using namespace std::chrono;
  w.Model().SetClock([hour] { return local_days{2026y / December / 10} + hours(hour); });
  std::filesystem::create_directories(w.folder.File("logs"));
  w.folder.Write("logs/Orlent-2026-12-09.log",
                 "2026-12-09T17:00:00 [127.0.0.2] \n"
                 "2026-12-09T17:00:01 [127.0.0.2] - Verified 127.0.0.2: 2 same\n");
  w.folder.Write("PLU-Down-Default.txt", PluFileLines(2));
  ModalAnswerer operatorStandIn;
  QTest::mouseClick(w.Panel().SendButton, Qt::LeftButton);
  w.manualLoop.Advance(3000);
  EchoLastSent(w.link, w.manualLoop);
  EchoLastSent(w.link, w.manualLoop);
  w.link.connectResult = 0;
  w.manualLoop.Advance(3000);
  ASSERT_FALSE(w.Model().CycleRunning());
  w.link.connectResult = 1;
}

TerminalsWindow* OpenTerminals(WindowFixture& w) {
  w.window->Menu().TerminalsItem->trigger();
  auto windows = w.window->findChildren<TerminalsWindow*>("TerminalsWindow");
  return windows.isEmpty() ? nullptr : windows.back();
}

QString Cell(const TerminalsWindow& window, int row, int column) {
  return window.Table()->model()->index(row, column).data().toString();
}

}  // namespace

TEST(WindowTerminalsTable, EachEntrysLastCycleJournalAndHeldStateWithANameKept) {
  WindowFixture w(kLastOfThreeUnticked);
  SendWithOneFailure(w);
  TerminalsWindow* window = OpenTerminals(w);
  ASSERT_NE(window, nullptr);
  ASSERT_EQ(window->Table()->model()->rowCount(), 3);

  using T = TerminalsTable;
  const struct {
    int row;
    int column;
    QString shown;
  } cells[] = {
      {0, T::Address, "127.0.0.2"},
      {0, T::Ticked, "yes"},
      {0, T::LastCycle, "Send: done"},
      {0, T::LastSend, "2026-12-10 08:00:00 - Complete Send Plu (Total : 2), PLU-Down-Default.txt"},
      {0, T::LastVerification, "2026-12-09 17:00:00 - Verified 127.0.0.2: 2 same"},
      {0, T::LastReceive, ""},
      {1, T::Address, "127.0.0.3"},
      {1, T::LastCycle, "Send: failed: connect failed"},
      // A send that failed at the connect is the last send all the same.
      {1, T::LastSend, "2026-12-10 08:00:00 - Fail Connect 127.0.0.3, PLU-Down-Default.txt"},
      {1, T::Held, ""},
      {2, T::Ticked, "no"},
      {2, T::LastCycle, ""},
  };
  for (const auto& c : cells) {
    SCOPED_TRACE(std::to_string(c.row) + "," + std::to_string(c.column));
    EXPECT_EQ(Cell(*window, c.row, c.column), c.shown);
  }
  EXPECT_TRUE(Cell(*window, 0, T::Held).startsWith("PLU: 2 records, last acknowledged "))
      << Cell(*window, 0, T::Held).toStdString();

  // The name goes into a section of its own; the list's bytes stay.
  QAbstractItemModel* model = window->Table()->model();
  ASSERT_TRUE(model->setData(model->index(0, T::Name), "Deli counter"));
  const std::string ini = w.folder.Read("Orlent.ini");
  EXPECT_EQ(ini.substr(0, kLastOfThreeUnticked.size()), kLastOfThreeUnticked);
  EXPECT_NE(ini.find("[TerminalNames]\r\n127.0.0.2=Deli counter\r\n"), std::string::npos) << ini;
  // The menu raises the window already open; a cycle's end draws it again.
  TerminalsWindow* again = OpenTerminals(w);
  ASSERT_EQ(again, window);
  EXPECT_EQ(Cell(*again, 0, T::Name), "Deli counter");
  SendWithOneFailure(w, 9);
  EXPECT_EQ(Cell(*again, 0, T::LastSend),
            "2026-12-10 09:00:00 - Complete Send Plu (Total : 2), PLU-Down-Default.txt");

  // The filter finds the name; the history is the entry's, newest first.
  again->Filter()->setText("deli");
  ASSERT_EQ(again->Table()->model()->rowCount(), 1);
  again->ShowHistory(0);
  auto* history = again->findChild<TerminalHistoryDialog*>("TerminalHistory");
  ASSERT_NE(history, nullptr);
  const QStringList lines = history->Lines()->toPlainText().split('\n');
  ASSERT_GE(lines.size(), 4);
  EXPECT_TRUE(lines.front().startsWith("2026-12-10T09:00:00  - Success to Disconect 127.0.0.2"))
      << lines.front().toStdString();
  EXPECT_EQ(lines.back(), "2026-12-09T17:00:00  ");
  EXPECT_EQ(lines[lines.size() - 2], "2026-12-09T17:00:01  - Verified 127.0.0.2: 2 same");
  EXPECT_FALSE(history->Lines()->toPlainText().contains("127.0.0.3"));
}
