// The report view offscreen, on a time report as the terminal simulator
// makes it: its table and totals row, its chart, and both saves.
#include "window/report_view.h"

#include <gtest/gtest.h>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QImage>
#include <QPushButton>
#include <QTableView>

#include "records/records.h"
#include "reports/report_cells.h"
#include "reports/report_csv.h"
#include "reports/report_reader.h"
#include "reports/simulated_report.h"
#include "tests/support/temp_folder.h"
#include "window/window_fixture.h"

namespace {

QString Cell(const QTableView& table, int row, int column) {
  return table.model()->index(row, column).data().toString();
}

TEST(ReportViewWindow, ShowsTheRowsTotalsAndChartAndSavesBoth) {
  EnsureApplication();
  TempFolder folder;
  const SimulatedReport report = SimulateReport(kCodeReportTime);
  folder.Write("Report-Time.txt", report.text);
  ReportView* view = ShowReportView(nullptr, folder.File("Report-Time.txt"), kCodeReportTime);
  ASSERT_NE(view, nullptr);
  ProcessEvents();

  const QAbstractItemModel& rows = *view->Table->model();
  ASSERT_EQ(rows.rowCount(), 25);  // 24 hours and the totals
  EXPECT_EQ(Cell(*view->Table, 7, 1), "7");
  int64_t amount = 0;
  for (const auto& record : report.records) amount += record.amount;
  const int amountColumn = static_cast<int>(ColumnIndex(ReportKind::Time, "Amount")) + 1;
  EXPECT_EQ(Cell(*view->Table, 24, 0), "Total");
  EXPECT_EQ(Cell(*view->Table, 24, amountColumn), QString::fromStdString(MoneyText(amount)));

  const QList<QAbstractSeries*> series = view->Chart->chart()->series();
  ASSERT_EQ(series.size(), 1);
  const QBarSet& bars = *static_cast<QBarSeries*>(series[0])->barSets().at(0);
  ASSERT_EQ(bars.count(), 24);
  EXPECT_DOUBLE_EQ(bars.at(12), static_cast<double>(report.records[12].amount) / 100);

  std::vector<QString> asked;
  view->askSavePath = [&](QWidget*, const QString&, const QString& suggested, const QString&) {
    asked.push_back(suggested);
    return QString::fromStdString(folder.File(asked.size() == 1 ? "chart" : "table.csv"));
  };
  view->SaveChartButton->click();
  view->SaveTableButton->click();
  ASSERT_EQ(asked.size(), 2u);
  const std::string day = ReadReport(report.text, ReportKind::Time).rows[0].time.substr(0, 10);
  EXPECT_EQ(asked[0], QString::fromStdString(folder.File("Report-Time_" + day + ".png")));
  const QImage chart(QString::fromStdString(folder.File("chart.png")), "PNG");
  EXPECT_FALSE(chart.isNull());
  EXPECT_EQ(chart.size(), view->Chart->grab().size());
  EXPECT_EQ(folder.Read("table.csv"), ReportCsv(ReadReport(report.text, ReportKind::Time)));
  delete view;
}

TEST(ReportViewWindow, AReportWithABadLineIsNamedWithItsLineAndNotShown) {
  EnsureApplication();
  TempFolder folder;
  folder.Write("bad.txt", "2026-12-08 07:59:59, 1, 2, 3, 4,5\r\n2026-12-08 08:59:59, 1\r\n");
  ModalAnswerer answerer;
  EXPECT_EQ(ShowReportView(nullptr, folder.File("bad.txt"), kCodeReportTime), nullptr);
  ASSERT_EQ(answerer.Texts().size(), 1u);
  EXPECT_NE(answerer.Texts()[0].find("line 2: 6 fields expected, 2 found"), std::string::npos)
      << answerer.Texts()[0];
}

}  // namespace
