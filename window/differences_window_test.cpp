// A verification as the window shows it: each entry's verdict in the list
// ("same", "differs: …"), the verdicts' totals in the status bar, and "View
// Differences" with its table of every difference and its CSV file.
#include "window/differences_window.h"

#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QTableView>
#include <cstring>
#include <string>
#include <vector>

#include "records/records.h"
#include "settings/atomic_file.h"
#include "tests/support/echo_answer.h"
#include "window/terminal_list_states.h"
#include "window/window_fixture.h"

namespace {

const std::string kTwoTerminals =
    "[Terminal]\r\nTerminalPort=20404\r\nTerminalNums=2\r\nTerminalIP_1=127.0.0.2\r\n"
    "TerminalChecked_1=1\r\nTerminalIP_2=127.0.0.3\r\nTerminalChecked_2=1\r\n";

// Answers the latest read with PLU `number` named `name` at `price`, or with the end.
void AnswerPlu(WindowFixture& w, int32_t number, int32_t price, const char* name = "Apple") {
  PluRecord record{};
  record.Field1 = 1;
  record.PluNo = number;
  record.Field5 = price;
  std::strcpy(record.Text, number == 0 ? "END: 99 No more records" : name);
  Answer(w.link, w.manualLoop, kCodePlu, kDirectionRead, record);
}

// The terminal's PLU records, each number with its price and name.
struct Held {
  int32_t number;
  int32_t price;
  const char* name;
};

// Verifies both ticked terminals against a file of PLU 1 "Apple" at 1.00
// and PLU 2 "Pear" at 2.50; each terminal answers with its records.
void Verify(WindowFixture& w, const std::vector<Held> (&terminals)[2]) {
  w.window->Menu().VerifyItem->trigger();
  ASSERT_TRUE(w.Model().Verifying());
  for (int entry = 0; entry < 2; ++entry) {
    const std::vector<Held>& held = terminals[entry];
    w.manualLoop.Advance(w.Model().CycleOptionsInForce().pauseMs);
    w.manualLoop.RunPending();
    const QListWidgetItem* item = w.window->Panel().TerminalList->item(entry);
    EXPECT_EQ(item->data(TerminalListStates::StateTextRole).toString(), "reading");
    EXPECT_EQ(w.window->CycleTotals()->text(), entry == 0 ? "0 same, 0 differs, 0 failed, 2 to go"
                                                          : "1 same, 0 differs, 0 failed, 1 to go");
    for (const Held& record : held) AnswerPlu(w, record.number, record.price, record.name);
    AnswerPlu(w, 0, 0);
  }
  w.manualLoop.RunUntilIdle();
  ASSERT_FALSE(w.Model().CycleRunning());
}

QStringList Cells(const QAbstractItemModel& model) {
  QStringList cells;
  for (int row = 0; row < model.rowCount(); ++row) {
    QStringList line;
    for (int column = 0; column < model.columnCount(); ++column) {
      line << model.index(row, column).data().toString();
    }
    cells << line.join("|");
  }
  return cells;
}

}  // namespace

TEST(WindowVerification, ReadsAsOneVerdictPerTerminalWithItsDifferencesInATable) {
  const struct {
    const char* name;
    std::vector<Held> terminals[2];
    QStringList states;
    QString totals;
    QStringList differences;  // empty: "View Differences" is not offered
  } cases[] = {
      {"both hold the file",
       {{{1, 100, "Apple"}, {2, 250, "Pear"}}, {{1, 100, "Apple"}, {2, 250, "Pear"}}},
       {"same", "same"},
       "2 same, 0 differs, 0 failed",
       {}},
      {"a price, a name, a missing and an extra record",
       {{{1, 100, "Apple"}, {2, 250, "Pear"}}, {{1, 150, "Apples"}, {900, 5, "Kiwi"}}},
       {"same", "differs: 0 same, 1 different, 1 missing, 1 only on the terminal"},
       "1 same, 1 differs, 0 failed",
       {"127.0.0.3|PLU 1|name|Apple|Apples", "127.0.0.3|PLU 1|price|1.00|1.50",
        "127.0.0.3|PLU 2||held|missing", "127.0.0.3|PLU 900||missing|held"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WindowFixture w(kTwoTerminals);
    w.folder.Write("PLU-Down-Default.txt",
                   "1\t1\t0\tApple\t100\t0\t0\t0\t0\r\n1\t2\t0\tPear\t250\t0\t0\t0\t0\r\n");
    QAction* view = w.window->Menu().DifferencesItem;
    EXPECT_FALSE(view->isEnabled()) << "before any verification";
    Verify(w, c.terminals);

    const QListWidget* list = w.window->Panel().TerminalList;
    QStringList states;
    for (int row = 0; row < list->count(); ++row) {
      states << list->item(row)->data(TerminalListStates::StateTextRole).toString();
    }
    EXPECT_EQ(states, c.states);
    EXPECT_EQ(w.window->CycleTotals()->text(), c.totals);
    EXPECT_EQ(view->isEnabled(), !c.differences.empty());
    if (c.differences.empty()) continue;

    view->trigger();
    auto* window = w.window->findChild<DifferencesWindow*>("DifferencesWindow");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(Cells(*window->Table()->model()), c.differences);

    const std::string path = w.folder.File("Differences.csv");
    window->SetAskSavePath([&](QWidget*, const QString&) { return QString::fromStdString(path); });
    window->Save();
    EXPECT_EQ(ReadWholeFile(path).bytes,
              "Terminal,Record,Field,In the file,On the terminal\r\n"
              "127.0.0.3,PLU 1,name,Apple,Apples\r\n"
              "127.0.0.3,PLU 1,price,1.00,1.50\r\n"
              "127.0.0.3,PLU 2,,held,missing\r\n"
              "127.0.0.3,PLU 900,,missing,held\r\n");
  }
}

TEST(WindowVerification, TheDifferencesCsvQuotesWhatASpreadsheetWouldSplit) {
  const std::vector<DifferenceRow> rows = {
      {"127.0.0.2", "PLU 7", 7, "name", "Ham, smoked", "Ham \"Deli\""}};
  EXPECT_EQ(DifferencesCsv(rows),
            "Terminal,Record,Field,In the file,On the terminal\r\n"
            "127.0.0.2,PLU 7,name,\"Ham, smoked\",\"Ham \"\"Deli\"\"\"\r\n");
}
