// The report view's table and chart in full: the totals row whole, sorting
// that keeps it last, the PLU names from the send file, the views of reports
// arriving together cascaded, the chart's axes and the terminal and day in
// its title and in the name suggested for it.
#include <gtest/gtest.h>
#include <QApplication>
#include <QBarCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QGraphicsTextItem>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QValueAxis>

#include "records/records.h"
#include "reports/simulated_report.h"
#include "tests/support/temp_folder.h"
#include "window/report_view.h"
#include "window/report_windows.h"
#include "window/window_fixture.h"

namespace {

QString Cell(const QTableView& table, int row, int column) {
  return table.model()->index(row, column).data().toString();
}

int Column(const QTableView& table, const QString& heading) {
  for (int c = 0; c < table.model()->columnCount(); ++c) {
    if (table.model()->headerData(c, Qt::Horizontal).toString() == heading) return c;
  }
  return -1;
}

struct Shown {
  TempFolder folder;
  ReportView* view = nullptr;
  Shown(uint8_t code, const std::string& name, const std::optional<PluNames>& names = {}) {
    EnsureApplication();
    folder.Write(name, SimulateReport(code).text);
    view = ShowReportView(nullptr, folder.File(name), code, names);
    ProcessEvents();
  }
  ~Shown() { delete view; }
};

TEST(ReportViewFinished, EveryCellOfTheTotalsRowIsWhole) {
  for (const uint8_t code : {kCodeReportPlu, kCodeReportTime, kCodeReportGroup, kCodeReportDept}) {
    Shown shown(code, "report.txt");
    ASSERT_NE(shown.view, nullptr);
    const QTableView& table = *shown.view->Table;
    const int totals = table.model()->rowCount() - 1;
    ASSERT_EQ(Cell(table, totals, 0), "Total");
    for (int c = 0; c < table.model()->columnCount(); ++c) {
      const QModelIndex cell = table.model()->index(totals, c);
      const QFont font = cell.data(Qt::FontRole).value<QFont>();
      EXPECT_GE(table.columnWidth(c), QFontMetrics(font).horizontalAdvance(cell.data().toString()))
          << int{code} << " column " << c << " " << cell.data().toString().toStdString();
    }
  }
}

TEST(ReportViewFinished, SortingByAnyColumnEitherWayKeepsTheTotalsLast) {
  Shown shown(kCodeReportPlu, "report.txt");
  QTableView& table = *shown.view->Table;
  const int rows = table.model()->rowCount();
  const int amount = Column(table, "Amount");
  ASSERT_GE(amount, 0);
  for (int c = 0; c < table.model()->columnCount(); ++c) {
    for (const Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
      table.sortByColumn(c, order);
      EXPECT_EQ(Cell(table, rows - 1, 0), "Total") << c << " " << order;
    }
  }
  table.sortByColumn(amount, Qt::DescendingOrder);
  for (int r = 1; r < rows - 1; ++r) {  // by the cents, not by the text
    EXPECT_GE(Cell(table, r - 1, amount).toDouble(), Cell(table, r, amount).toDouble()) << r;
  }
}

TEST(ReportViewFinished, APluReportNamesThePlusTheSendFileHolds) {
  TempFolder send;
  send.Write("PLU-Down.txt",
             "1\t101\t1\tApples Braeburn\t249\t20001\t7\t5\t1\r\n"
             "1\t103\t1\tP\xC3\xA4rons\t229\t20003\t7\t5\t1\r\n");
  const PluNames names = ReadPluNames(send.File("PLU-Down.txt"), *CodePage::Named("windows-1252"));
  EXPECT_EQ(names, (PluNames{{101, "Apples Braeburn"}, {103, "P\xC3\xA4rons"}}));
  EXPECT_TRUE(ReadPluNames(send.File("missing.txt"), CodePage()).empty());

  Shown shown(kCodeReportPlu, "report.txt", names);
  const QTableView& table = *shown.view->Table;
  const int name = Column(table, "Name");
  ASSERT_EQ(name, Column(table, "PLU") + 1);
  const struct {
    int row;
    QString plu, name;
  } expected[] = {{0, "101", "Apples Braeburn"}, {1, "102", ""}, {2, "103", "P\u00e4rons"}};
  for (const auto& e : expected) {
    EXPECT_EQ(Cell(table, e.row, name - 1), e.plu);
    EXPECT_EQ(Cell(table, e.row, name), e.name);
  }
  Shown time(kCodeReportTime, "time.txt", names);  // only a PLU report has names
  EXPECT_EQ(Column(*time.view->Table, "Name"), -1);
}

TEST(ReportViewFinished, ReportsArrivingTogetherOpenCascaded) {
  EnsureApplication();
  TempFolder folder;
  int reads = 0;
  ReportWindows windows([&] {
    ++reads;
    return PluNames{{101, "Apples"}};
  });
  std::vector<ReportView*> views;
  for (const uint8_t code : {kCodeReportTime, kCodeReportPlu, kCodeReportGroup}) {
    const std::string name = "r" + std::to_string(code) + ".txt";
    folder.Write(name, SimulateReport(code).text);
    views.push_back(windows.Open(nullptr, folder.File(name), code));
    ASSERT_NE(views.back(), nullptr);
  }
  ProcessEvents();
  EXPECT_EQ(reads, 1);
  EXPECT_EQ(Cell(*views[1]->Table, 0, 2), "Apples");
  for (std::size_t i = 1; i < views.size(); ++i) {
    EXPECT_EQ(views[i]->pos() - views[i - 1]->pos(),
              QPoint(ReportWindows::kOffset, ReportWindows::kOffset));
  }
  for (ReportView* view : views) delete view;
}

TEST(ReportViewFinished, TheTimeChartLabelsEveryHourAndNamesItsAxes) {
  Shown shown(kCodeReportTime, "Report-Time_127.0.0.63_2026-12-08.txt");
  QChart& chart = *shown.view->Chart->chart();
  auto* hours = static_cast<QBarCategoryAxis*>(chart.axes(Qt::Horizontal).at(0));
  QStringList all;
  for (int h = 0; h < 24; ++h) all.append(QString::number(h));
  EXPECT_EQ(hours->categories(), all);
  EXPECT_EQ(hours->titleText(), "Hour");
  EXPECT_EQ(chart.axes(Qt::Vertical).at(0)->titleText(), "Amount");
  EXPECT_EQ(chart.title(), "Amount by hour\n127.0.0.63, 2026-12-08");
  // Every hour's label is drawn, the first and the last too, at the size the
  // view opens with and at the smallest it can be made.
  for (const bool smallest : {false, true}) {
    if (smallest) shown.view->resize(shown.view->minimumSizeHint());
    shown.view->show();
    QApplication::processEvents();
    QStringList drawn;
    for (QGraphicsItem* item : shown.view->Chart->scene()->items()) {
      auto* text = dynamic_cast<QGraphicsTextItem*>(item);
      if (text && text->isVisible() && all.contains(text->toPlainText()) && text->parentItem() &&
          !text->toPlainText().contains('.'))
        drawn.append(text->toPlainText());
    }
    for (const char* edge : {"0", "23"}) EXPECT_TRUE(drawn.contains(edge)) << edge << smallest;
  }
}

TEST(ReportViewFinished, TheChartIsSuggestedUnderTheTerminalAndDay) {
  const struct {
    std::string file, title, suggested;
  } cases[] = {
      {"Report-Time_127.0.0.63_2026-12-08.txt", "127.0.0.63, 2026-12-08",
       "Report-Time_127.0.0.63_2026-12-08.png"},
      {"Report-Time_127.0.0.63_2026-12-08_2.txt", "127.0.0.63, 2026-12-08",
       "Report-Time_127.0.0.63_2026-12-08.png"},
      {"hours.txt", "", "Report-Time_"},  // the day of its first row
  };
  for (const auto& c : cases) {
    Shown shown(kCodeReportTime, c.file);
    QString asked;
    shown.view->askSavePath = [&](QWidget*, const QString&, const QString& suggested,
                                  const QString&) {
      asked = suggested;
      return QString();
    };
    shown.view->SaveChartButton->click();
    EXPECT_TRUE(asked.startsWith(QString::fromStdString(shown.folder.File(c.suggested)))) << c.file;
    EXPECT_TRUE(asked.endsWith(".png"));
    const QString title = shown.view->Chart->chart()->title();
    EXPECT_TRUE(title.contains(QString::fromStdString(c.title))) << title.toStdString();
  }
}

}  // namespace
