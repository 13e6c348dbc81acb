// "Communication" › "Receive…" in the window: the dialog offers the kinds,
// the terminals and the folder, and its OK starts a receive cycle that shows
// as a send's does.
#include "window/receive_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <string>

#include "model/receive_order.h"
#include "records/records.h"
#include "window/report_view.h"
#include "window/window_fixture.h"

TEST(WindowReceive, OkStartsAReceiveCycleFromTheSelectedTerminalIntoTheChosenFolder) {
  WindowFixture w(
      "[Terminal]\r\nTerminalPort=20404\r\nTerminalNums=2\r\nTerminalIP_1=127.0.0.2\r\n"
      "TerminalChecked_1=1\r\nTerminalIP_2=127.0.0.3\r\nTerminalChecked_2=0\r\n");
  w.Panel().TerminalList->setCurrentRow(1);
  const std::string folder = w.folder.File("reports");
  bool seen = false;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<ReceiveDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    seen = true;
    EXPECT_EQ(dialog->FolderBox->text().toStdString(), w.Model().ProgramFolder() + "/received");
    EXPECT_EQ(dialog->KindBox->count(), 8);
    EXPECT_TRUE(dialog->TickedButton->isChecked());
    dialog->KindBox->setCurrentText("Time report");
    dialog->SelectedButton->setChecked(true);
    dialog->FolderBox->setText(QString::fromStdString(folder));
    dialog->Buttons->button(QDialogButtonBox::Ok)->click();
  });
  w.window->Menu().ReceiveItem->trigger();
  ASSERT_TRUE(seen) << "the Receive dialog did not open";

  ASSERT_TRUE(w.Model().CycleRunning());
  EXPECT_EQ(w.Panel().SendButton->text(), "&Stop");
  EXPECT_FALSE(w.window->Menu().ReceiveItem->isEnabled());
  w.manualLoop.Advance(w.Model().CycleOptionsInForce().pauseMs);
  w.manualLoop.RunPending();
  ASSERT_FALSE(w.link.sent.empty());
  EXPECT_EQ(w.link.sent.back().address, "127.0.0.3");
  EXPECT_EQ(w.link.sent.back().packet.Code, kCodeReportTime);
  EXPECT_TRUE(std::filesystem::is_directory(folder));
  // The terminal says nothing: the answer time-out fails it, as in a send.
  w.manualLoop.RunUntilIdle();
  EXPECT_FALSE(w.Model().CycleRunning());
  EXPECT_EQ(w.Panel().SendButton->text(), "&Send Data");
  EXPECT_EQ(w.LogRows().back(), "* End *");
  EXPECT_EQ(w.window->CycleTotals()->text().toStdString(),
            "1 terminal: 0 done, 1 failed; 0 of 0 records stored");

  // Opened again, the dialog offers the last receive's choices.
  seen = false;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<ReceiveDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    seen = true;
    EXPECT_EQ(dialog->SelectedButton->text(), "The selected terminal (127.0.0.3)");
    EXPECT_TRUE(dialog->SelectedButton->isChecked());
    EXPECT_EQ(dialog->KindBox->currentText(), "Time report");
    EXPECT_EQ(dialog->FolderBox->text().toStdString(), folder);
    dialog->reject();
  });
  w.window->Menu().ReceiveItem->trigger();
  EXPECT_TRUE(seen) << "the Receive dialog did not open again";
}

TEST(ReceiveDialogChoices, NamesTheSelectedTerminalAndShowsItsFolderWhole) {
  EnsureApplication();
  const std::string longFolder = "/srv/shop/branch-office-north/received-reports/weighing";
  const struct {
    std::string selected;
    std::optional<ReceiveOrder> last;
    QString caption, kind, folder;
    bool selectedChecked;
  } cases[] = {
      {"", std::nullopt, "The selected terminal (none)", "PLU records", "/f/received", false},
      {"127.0.0.63", std::nullopt, "The selected terminal (127.0.0.63)", "PLU records",
       "/f/received", false},
      {"127.0.0.63", ReceiveOrder{ReceiveOrder::From::Selected, kCodeReportDept, longFolder, {}},
       "The selected terminal (127.0.0.63)", "Department report",
       QString::fromStdString(longFolder), true},
      // The selected choice is not offered again while no entry is selected.
      {"", ReceiveOrder{ReceiveOrder::From::Selected, kCodeReportDept, "", {}},
       "The selected terminal (none)", "Department report", "/f/received", false},
  };
  for (const auto& c : cases) {
    ReceiveDialog dialog(nullptr, "/f/received", c.selected, c.last);
    dialog.show();
    ProcessEvents();
    EXPECT_EQ(dialog.SelectedButton->text(), c.caption);
    EXPECT_EQ(dialog.SelectedButton->isEnabled(), !c.selected.empty());
    EXPECT_EQ(dialog.SelectedButton->isChecked(), c.selectedChecked) << c.caption.toStdString();
    EXPECT_EQ(dialog.TickedButton->isChecked(), !c.selectedChecked);
    EXPECT_EQ(dialog.KindBox->currentText(), c.kind);
    EXPECT_EQ(dialog.FolderBox->text(), c.folder);
    EXPECT_GE(dialog.FolderBox->width(),
              dialog.FolderBox->fontMetrics().horizontalAdvance(c.folder));
    EXPECT_GE(dialog.SelectedButton->width(), dialog.SelectedButton->sizeHint().width());
  }
}

// A report that a terminal sent whole opens in a report view of its own.
TEST(WindowReceive, AReceivedReportOpensInAReportView) {
  WindowFixture w(
      "[Terminal]\r\nTerminalPort=20404\r\nTerminalNums=1\r\nTerminalIP_1=127.0.0.2\r\n"
      "TerminalChecked_1=1\r\n");
  w.Model().ReceiveFromTerminals(
      {ReceiveOrder::From::Ticked, kCodeReportTime, w.folder.File("reports"), {}});
  w.manualLoop.Advance(w.Model().CycleOptionsInForce().pauseMs);
  w.manualLoop.RunPending();
  ReportTotalRecord hour{};
  hour.Number = 9;
  hour.Year = 26;
  hour.Month = 12;
  hour.Day = 8;
  hour.Hour = 9;
  hour.Minute = 59;
  hour.Second = 59;
  hour.Value1 = 3;
  hour.Value2 = 1250;
  w.link.Deliver(kCodeReportTime, kDirectionRead, hour);
  w.manualLoop.RunPending();
  ReportTotalRecord end{};
  std::snprintf(end.Text, sizeof end.Text, "END: 99");
  w.link.Deliver(kCodeReportTime, kDirectionRead, end);
  w.manualLoop.RunUntilIdle();
  ASSERT_FALSE(w.Model().CycleRunning());

  const auto views = w.window->findChildren<ReportView*>();
  ASSERT_EQ(views.size(), 1);
  // One row for the hour, then the totals row.
  EXPECT_EQ(views.front()->Table->model()->rowCount(), 2);
}
