// "Communication" › "Send…" in the window: the dialog offers every kind a
// download writes with its file, shows before OK what each terminal would
// be sent, and its OK starts a send cycle of that kind to the terminals
// chosen; and "Repair Differing Terminals" after a verification.
#include "window/send_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTimer>
#include <algorithm>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "records/records.h"
#include "tests/support/echo_answer.h"
#include "window/send_plan_table.h"
#include "window/window_fixture.h"

namespace {

const std::string kTwoTerminals =
    "[Terminal]\r\nTerminalPort=20404\r\nTerminalNums=2\r\nTerminalIP_1=127.0.0.2\r\n"
    "TerminalChecked_1=1\r\nTerminalIP_2=127.0.0.3\r\nTerminalChecked_2=0\r\n";

const std::string kThreePlu =
    "1\t1\t0\tApple\t100\t0\t0\t0\t0\r\n1\t2\t0\tPear\t200\t0\t0\t0\t0\r\n"
    "1\t3\t0\tPlum\t300\t0\t0\t0\t0\r\n";

// Opens the Send dialog from the menu and lets `use` work it; `use` ends it
// with OK or Cancel. False when the dialog did not open.
bool WithSendDialog(WindowFixture& w, const std::function<void(SendDialog&)>& use) {
  bool seen = false;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<SendDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    seen = true;
    use(*dialog);
    if (dialog->isVisible()) dialog->reject();
  });
  w.window->Menu().SendItem->trigger();
  return seen;
}

void Press(SendDialog& dialog, QDialogButtonBox::StandardButton button) {
  dialog.Buttons->button(button)->click();
}

// The plan's rows as shown, each its cells joined by "|".
std::vector<std::string> PlanRows(const SendDialog& dialog) {
  std::vector<std::string> rows;
  for (int row = 0; row < dialog.Plan->rowCount(); ++row) {
    QStringList cells;
    for (int column = 0; column < SendPlanTable::Columns; ++column) {
      cells << dialog.Plan->index(row, column).data().toString();
    }
    rows.push_back(cells.join('|').toStdString());
  }
  return rows;
}

// Runs the send cycle started over one terminal to its end, each record
// acknowledged as it is sent.
void AcknowledgeEverything(WindowFixture& w) {
  const std::size_t before = w.link.sent.size();
  w.manualLoop.Advance(w.Model().CycleOptionsInForce().pauseMs);
  for (int answers = 0; answers < 100 && w.Model().CycleRunning(); ++answers) {
    ASSERT_GT(w.link.sent.size(), before) << "nothing was sent";
    EchoLastSent(w.link, w.manualLoop);
  }
  w.manualLoop.RunUntilIdle();
  ASSERT_FALSE(w.Model().CycleRunning());
}

int32_t SentPluNumber(const SentPacket& sent) {
  PluRecord record{};
  std::memcpy(&record, sent.data.data(), std::min(sent.data.size(), sizeof record));
  return record.PluNo;
}

}  // namespace

TEST(WindowSendDialog, OffersEachKindADownloadWritesWithItsFileInTheProgramFolder) {
  WindowFixture w(kTwoTerminals);
  const struct {
    const char* caption;
    const char* file;
  } kinds[] = {{"PLU records", "PLU-Down.txt"},
               {"Barcode records", "Barcode-Down.txt"},
               {"Ingredient records", "Ingredient-Down.txt"},
               {"Scroll message records", "ScrollMsg-Down.txt"},
               {"Speedkey records", "Speedkey-Down.txt"}};
  ASSERT_TRUE(WithSendDialog(w, [&](SendDialog& dialog) {
    ASSERT_EQ(dialog.KindBox->count(), 5);
    for (int i = 0; i < 5; ++i) {
      dialog.KindBox->setCurrentIndex(i);
      EXPECT_EQ(dialog.KindBox->currentText(), kinds[i].caption);
      EXPECT_EQ(dialog.FileBox->text().toStdString(),
                w.Model().ProgramFolder() + "/" + kinds[i].file);
    }
    // Nothing is held yet: every record is sent, and nothing is deleted.
    EXPECT_TRUE(dialog.TickedButton->isChecked());
    EXPECT_FALSE(dialog.SelectedButton->isEnabled()) << "no entry is selected";
    EXPECT_FALSE(dialog.ChangesBox->isChecked());
    EXPECT_FALSE(dialog.DeleteBox->isEnabled());
    dialog.ChangesBox->setChecked(true);
    EXPECT_TRUE(dialog.DeleteBox->isEnabled());
    dialog.DeleteBox->setChecked(true);
    dialog.ChangesBox->setChecked(false);
    EXPECT_FALSE(dialog.DeleteBox->isEnabled());
    EXPECT_FALSE(dialog.Order().deleteMissing);
    Press(dialog, QDialogButtonBox::Cancel);
  }));
  EXPECT_FALSE(w.Model().CycleRunning());
}

// The sample barcode file goes as barcodes, to the terminal chosen, and the
// plan follows the choice of terminal.
TEST(WindowSendDialog, SendsABarcodeFileAsBarcodesToTheSelectedTerminal) {
  WindowFixture w(kTwoTerminals);
  w.folder.Write("Barcode-Down.txt", "1\t1\t0\tApples\t2000001\r\n2\t1\t0\tPears\t2000002\r\n");
  w.Panel().TerminalList->setCurrentRow(1);
  ASSERT_TRUE(WithSendDialog(w, [&](SendDialog& dialog) {
    dialog.KindBox->setCurrentText("Barcode records");
    EXPECT_EQ(PlanRows(dialog), (std::vector<std::string>{"127.0.0.2|whole file: 2 records|||"}));
    dialog.SelectedButton->setChecked(true);
    EXPECT_EQ(PlanRows(dialog), (std::vector<std::string>{"127.0.0.3|whole file: 2 records|||"}));
    EXPECT_TRUE(dialog.PlanNote->text().isEmpty());
    Press(dialog, QDialogButtonBox::Ok);
  }));
  ASSERT_TRUE(w.Model().CycleRunning());
  AcknowledgeEverything(w);
  ASSERT_EQ(w.link.sent.size(), 2u);
  for (const SentPacket& sent : w.link.sent) {
    EXPECT_EQ(sent.address, "127.0.0.3");
    EXPECT_EQ(sent.packet.Code, kCodeBarcode);
    EXPECT_EQ(sent.packet.Direction, kDirectionWrite);
  }
  EXPECT_TRUE(w.LogRows().contains("- CompleteDownloadNextBarcode"));
}

// What a terminal holds after a send counts: the plan shows what changed,
// and the changes send sends only that.
TEST(WindowSendDialog, ThePlanOfATerminalHoldingTheFileShowsOnlyWhatChanged) {
  WindowFixture w(kTwoTerminals);
  w.folder.Write("PLU-Down.txt", kThreePlu);
  ASSERT_TRUE(WithSendDialog(w, [](SendDialog& dialog) { Press(dialog, QDialogButtonBox::Ok); }));
  AcknowledgeEverything(w);
  ASSERT_EQ(w.link.sent.size(), 3u);

  // PLU 2 costs more, PLU 3 is gone and PLU 4 is new.
  w.folder.Write("PLU-Down.txt",
                 "1\t1\t0\tApple\t100\t0\t0\t0\t0\r\n1\t2\t0\tPear\t250\t0\t0\t0\t0\r\n"
                 "1\t4\t0\tFig\t400\t0\t0\t0\t0\r\n");
  ASSERT_TRUE(WithSendDialog(w, [&](SendDialog& dialog) {
    EXPECT_TRUE(dialog.ChangesBox->isChecked()) << "something is held";
    EXPECT_EQ(PlanRows(dialog), (std::vector<std::string>{"127.0.0.2|1|1|0|1"}));
    dialog.DeleteBox->setChecked(true);
    EXPECT_EQ(PlanRows(dialog), (std::vector<std::string>{"127.0.0.2|1|1|1|1"}));
    dialog.DeleteBox->setChecked(false);
    dialog.ChangesBox->setChecked(false);
    EXPECT_EQ(PlanRows(dialog), (std::vector<std::string>{"127.0.0.2|whole file: 3 records|||"}));
    EXPECT_EQ(dialog.PlanView->columnSpan(0, SendPlanTable::New), 4);
    dialog.ChangesBox->setChecked(true);
    Press(dialog, QDialogButtonBox::Ok);
  }));
  const std::size_t before = w.link.sent.size();
  AcknowledgeEverything(w);
  ASSERT_EQ(w.link.sent.size(), before + 2);
  EXPECT_EQ(SentPluNumber(w.link.sent[before]), 2);
  EXPECT_EQ(SentPluNumber(w.link.sent[before + 1]), 4);
}

// A send the program refuses shows its error box, as "&Send Data" does.
TEST(WindowSendDialog, ARefusedSendShowsTheProgramsErrorBox) {
  const struct {
    const char* settings;
    const char* box;
  } cases[] = {
      {"[Terminal]\r\nTerminalPort=20404\r\nTerminalNums=1\r\nTerminalIP_1=127.0.0.2\r\n"
       "TerminalChecked_1=1\r\n",
       "I/O Error ! (Ingredient-Down.txt: the file cannot be opened: No such file or directory)"},
      {"[Terminal]\r\nTerminalPort=20404\r\nTerminalNums=1\r\nTerminalIP_1=127.0.0.2\r\n"
       "TerminalChecked_1=0\r\n",
       "No Terminal To Send !"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.box);
    WindowFixture w(c.settings);
    std::optional<ModalAnswerer> operatorStandIn;
    ASSERT_TRUE(WithSendDialog(w, [&](SendDialog& dialog) {
      dialog.KindBox->setCurrentText("Ingredient records");
      EXPECT_EQ(dialog.Plan->rowCount(), 0);
      EXPECT_FALSE(dialog.PlanNote->text().isEmpty());
      operatorStandIn.emplace();
      Press(dialog, QDialogButtonBox::Ok);
    }));
    ASSERT_TRUE(operatorStandIn);
    ASSERT_EQ(operatorStandIn->boxes.size(), 1u);
    EXPECT_EQ(operatorStandIn->boxes[0].title, "ERROR");
    EXPECT_EQ(operatorStandIn->Texts()[0], c.box);
    EXPECT_FALSE(w.Model().CycleRunning());
  }
}

namespace {

// Answers the latest read with PLU `number` at `price`, or with the end.
void AnswerPlu(WindowFixture& w, int32_t number, int32_t price) {
  PluRecord record{};
  record.Field1 = 1;
  record.PluNo = number;
  record.Field5 = price;
  std::strcpy(record.Text, number == 0 ? "END: 99 No more records" : "Apple");
  Answer(w.link, w.manualLoop, kCodePlu, kDirectionRead, record);
}

// Verifies both ticked terminals against a file of PLU 1 at 100; 127.0.0.3
// holds it at `price`.
void Verify(WindowFixture& w, int32_t price) {
  w.window->Menu().VerifyItem->trigger();
  ASSERT_TRUE(w.Model().Verifying());
  for (const int32_t held : {100, price}) {
    w.manualLoop.Advance(w.Model().CycleOptionsInForce().pauseMs);
    w.manualLoop.RunPending();
    AnswerPlu(w, 1, held);
    AnswerPlu(w, 0, 0);
  }
  w.manualLoop.RunUntilIdle();
  ASSERT_FALSE(w.Model().CycleRunning());
}

}  // namespace

TEST(WindowRepair, IsOfferedOnlyAfterAVerificationFoundATerminalThatDiffers) {
  const struct {
    int32_t price;  // of PLU 1 on 127.0.0.3
    bool repairable;
  } cases[] = {{100, false}, {150, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.price);
    WindowFixture w(
        "[Terminal]\r\nTerminalPort=20404\r\nTerminalNums=2\r\nTerminalIP_1=127.0.0.2\r\n"
        "TerminalChecked_1=1\r\nTerminalIP_2=127.0.0.3\r\nTerminalChecked_2=1\r\n");
    w.folder.Write("PLU-Down-Default.txt", "1\t1\t0\tApple\t100\t0\t0\t0\t0\r\n");
    QAction* repair = w.window->Menu().RepairItem;
    EXPECT_FALSE(repair->isEnabled()) << "before any verification";
    Verify(w, c.price);
    EXPECT_EQ(repair->isEnabled(), c.repairable);
    if (!c.repairable) continue;

    // The repair verifies again the terminal that differed, and it alone.
    w.link.sent.clear();
    repair->trigger();
    ASSERT_TRUE(w.Model().Verifying());
    EXPECT_FALSE(repair->isEnabled()) << "while it runs";
    const std::vector<TerminalState> states = w.Model().CycleStates();
    ASSERT_EQ(states.size(), 1u);
    EXPECT_EQ(states[0].address, "127.0.0.3");
    w.manualLoop.Advance(w.Model().CycleOptionsInForce().pauseMs);
    ASSERT_FALSE(w.link.sent.empty());
    EXPECT_EQ(w.link.sent[0].address, "127.0.0.3");
  }
}
