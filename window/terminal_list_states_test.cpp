// The terminal list after a send cycle with one failed terminal: each ticked
// entry's state beside its address, the failed one marked, the totals in the
// status bar; "Send to Failed Terminals"; an edit of the list clears them;
// after a stop, none is left waiting.
#include "window/terminal_list_states.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <chrono>
#include <string>

#include "tests/support/echo_answer.h"
#include "window/window_fixture.h"

namespace {

QStringList ShownStates(const QListWidget* list) {
  QStringList states;
  for (int row = 0; row < list->count(); ++row) {
    states << list->item(row)->data(TerminalListStates::StateTextRole).toString();
  }
  return states;
}

// A cycle in which 127.0.0.2 stores both records and 127.0.0.3 cannot be reached.
void CycleWithOneFailure(WindowFixture& w) {
  QTest::mouseClick(w.Panel().SendButton, Qt::LeftButton);
  EXPECT_EQ(ShownStates(w.Panel().TerminalList), (QStringList{"waiting", "waiting", ""}));
  EXPECT_EQ(w.window->CycleTotals()->text(),
            "2 terminals: 0 done, 0 failed, 2 to go; 0 of 4 records stored");
  w.manualLoop.Advance(3000);
  EchoLastSent(w.link, w.manualLoop);
  EXPECT_EQ(ShownStates(w.Panel().TerminalList), (QStringList{"sending 1 / 2", "waiting", ""}));
  EchoLastSent(w.link, w.manualLoop);
  w.link.connectResult = 0;
  w.manualLoop.Advance(3000);
  ASSERT_FALSE(w.Model().CycleRunning());
  w.link.connectResult = 1;
}

TEST(WindowTerminalStates, AfterACycleEachTickedEntryShowsHowItEnded) {
  WindowFixture w(kLastOfThreeUnticked);
  w.folder.Write("PLU-Down-Default.txt", PluFileLines(2));
  ModalAnswerer operatorStandIn;
  CycleWithOneFailure(w);
  QListWidget* list = w.Panel().TerminalList;

  EXPECT_EQ(ShownStates(list), (QStringList{"done", "failed: connect failed", ""}));
  EXPECT_EQ(w.window->CycleTotals()->text(),
            "2 terminals: 1 done, 1 failed; 2 of 4 records stored");
  EXPECT_TRUE(list->item(0)->icon().isNull());
  EXPECT_FALSE(list->item(1)->icon().isNull()) << "a failed terminal stands out";
  EXPECT_NE(list->item(1)->foreground().color(), list->item(0)->foreground().color());
  EXPECT_EQ(list->item(1)->toolTip(), "127.0.0.3: failed: connect failed");
  EXPECT_EQ(list->item(1)->text(), "127.0.0.3") << "the entry itself is the address";
  EXPECT_TRUE(operatorStandIn.boxes.empty());

  // Sent again to the failed one only; the ticks stay.
  w.window->Menu().SendToFailedItem->trigger();
  EXPECT_EQ(ShownStates(list), (QStringList{"", "waiting", ""}));
  EXPECT_EQ(w.window->CycleTotals()->text(),
            "1 terminal: 0 done, 0 failed, 1 to go; 0 of 2 records stored");
  w.manualLoop.Advance(3000);
  EchoLastSent(w.link, w.manualLoop);
  EchoLastSent(w.link, w.manualLoop);
  EXPECT_EQ(ShownStates(list), (QStringList{"", "done", ""}));
  EXPECT_EQ(w.window->CycleTotals()->text(), "1 terminal: 1 done, 0 failed; 2 of 2 records stored");
  EXPECT_EQ(list->item(0)->checkState(), Qt::Checked);
  EXPECT_EQ(list->item(1)->checkState(), Qt::Checked);
  EXPECT_EQ(list->item(2)->checkState(), Qt::Unchecked);
  EXPECT_TRUE(list->item(1)->icon().isNull());
  EXPECT_TRUE(operatorStandIn.boxes.empty());
}

TEST(WindowTerminalStates, StatesStayUntilTheListIsEdited) {
  WindowFixture w(kLastOfThreeUnticked);
  w.folder.Write("PLU-Down-Default.txt", PluFileLines(2));
  ModalAnswerer operatorStandIn;
  CycleWithOneFailure(w);
  QListWidget* list = w.Panel().TerminalList;

  // Ticks and a refused Delete (nothing selected) leave the list's entries as they are.
  QTest::mouseClick(w.Panel().DeleteButton, Qt::LeftButton);
  list->item(2)->setCheckState(Qt::Checked);
  EXPECT_EQ(ShownStates(list), (QStringList{"done", "failed: connect failed", ""}));

  // Typed into the IP box and added: an edit of the list.
  QTest::keyClicks(w.Panel().AddressBox, "127.0.0.5");
  QTest::mouseClick(w.Panel().AddButton, Qt::LeftButton);
  EXPECT_EQ(ShownStates(list), (QStringList{"", "", "", ""}));
  EXPECT_EQ(w.window->CycleTotals()->text(), "");
  EXPECT_TRUE(list->item(1)->icon().isNull());
}

TEST(WindowTerminalStates, AfterAStopNoEntryIsLeftWaiting) {
  WindowFixture w(kLastOfThreeUnticked);
  w.folder.Write("PLU-Down-Default.txt", PluFileLines(2));
  ModalAnswerer operatorStandIn;
  QListWidget* list = w.Panel().TerminalList;
  list->item(2)->setCheckState(Qt::Checked);
  QTest::mouseClick(w.Panel().SendButton, Qt::LeftButton);
  w.manualLoop.Advance(3000);
  EchoLastSent(w.link, w.manualLoop);
  ASSERT_EQ(ShownStates(list), (QStringList{"sending 1 / 2", "waiting", "waiting"}));

  QTest::mouseClick(w.Panel().SendButton, Qt::LeftButton);  // "&Stop"
  ASSERT_FALSE(w.Model().CycleRunning());
  EXPECT_EQ(ShownStates(list),
            (QStringList{"stopped (2 sent, 1 stored)", "not served", "not served"}));
  EXPECT_EQ(w.window->CycleTotals()->text(),
            "3 terminals: 0 done, 0 failed, 1 stopped, 2 not served; 1 of 6 records stored");
  EXPECT_TRUE(operatorStandIn.boxes.empty());
}

TEST(WindowTerminalStates, CountsAreDrawnAFewTimesASecondAndTheEndAtOnce) {
  EnsureApplication();
  QListWidget list;
  QLabel totals;
  for (const char* address : {"127.0.0.2", "127.0.0.3"}) list.addItem(address);
  TerminalListStates states(&list, &totals);
  auto state = [](int entry, SessionPhase phase, uint32_t stored) {
    TerminalState s;
    s.address = "127.0.0." + std::to_string(entry + 2);
    s.entry = entry;
    s.phase = phase;
    s.stored = s.sent = stored;
    s.total = 3334;
    return s;
  };
  states.ShowCycle(
      {state(0, SessionPhase::Transferring, 0), state(1, SessionPhase::Transferring, 0)},
      {"127.0.0.2", "127.0.0.3"});
  QSignalSpy redrawn(list.model(), &QAbstractItemModel::dataChanged);
  const auto start = std::chrono::steady_clock::now();
  for (uint32_t n = 1; n <= 3000; ++n) {
    states.Update(state(0, SessionPhase::Transferring, n));
    states.Update(state(1, SessionPhase::Transferring, n));
  }
  const auto took = std::chrono::steady_clock::now() - start;
  // Each drawing of a row sets a handful of its roles; at most one drawing
  // per interval began while the answers came, besides the first.
  const auto intervals = 1 + took / std::chrono::milliseconds(250);
  EXPECT_LE(redrawn.count(), 2 * 6 * (intervals + 1));
  // The held counts come once the events run.
  EXPECT_TRUE(QTest::qWaitFor(
      [&] {
        return ShownStates(&list) == QStringList({"sending 3000 / 3334", "sending 3000 / 3334"});
      },
      10000));
  // The end of a transfer is drawn at once, with exact totals.
  states.Update(state(0, SessionPhase::Transferring, 3334));
  states.Update(state(0, SessionPhase::Disconnected, 3334));
  EXPECT_EQ(ShownStates(&list), (QStringList{"done", "sending 3000 / 3334"}));
  EXPECT_EQ(totals.text(), "2 terminals: 1 done, 0 failed, 1 to go; 6334 of 6668 records stored");
}

}  // namespace
