#include "reports/report_reader.h"

#include <gtest/gtest.h>

#include "records/records.h"
#include "reports/report_chart.h"
#include "reports/simulated_report.h"
#include "session/upload.h"

namespace {

struct Case {
  const char* name;
  uint8_t code;
  ReportKind kind;
  std::size_t bars;
};

const Case kCases[] = {
    {"time", kCodeReportTime, ReportKind::Time, 24},
    {"group", kCodeReportGroup, ReportKind::Group, 15},
    {"department", kCodeReportDept, ReportKind::Department, 15},
    {"PLU", kCodeReportPlu, ReportKind::Plu, 20},
};

int64_t Column(const ReportTable& table, const ReportRow& row, const char* name) {
  return row.values[ColumnIndex(table.kind, name)];
}

TEST(ReportReader, ReadsTheSimulatorsReportsWithTheirNumbersTotalsAndChart) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const SimulatedReport report = SimulateReport(c.code);
    ASSERT_EQ(ReportKindOfCode(c.code), c.kind);
    const ReportTable table = ReadReport(report.text, c.kind);
    ASSERT_EQ(table.rows.size(), report.records.size());
    int64_t sales = 0, amount = 0;
    for (std::size_t i = 0; i < table.rows.size(); ++i) {
      const SimulatedRecord& record = report.records[i];
      EXPECT_EQ(table.rows[i].values[0], record.number) << "row " << i;
      EXPECT_EQ(Column(table, table.rows[i], "Sales"), record.sales) << "row " << i;
      EXPECT_EQ(Column(table, table.rows[i], "Amount"), record.amount) << "row " << i;
      sales += record.sales;
      amount += record.amount;
    }
    const auto totals = ReportTotals(table);
    EXPECT_EQ(totals[0], std::nullopt);  // record numbers do not add up
    EXPECT_EQ(totals[ColumnIndex(c.kind, "Sales")], sales);
    EXPECT_EQ(totals[ColumnIndex(c.kind, "Amount")], amount);

    const ReportChart chart = ChartOf(table);
    ASSERT_EQ(chart.bars.size(), c.bars);
    EXPECT_EQ(chart.bars, ExpectedBars(report, c.kind));
  }
}

TEST(ReportReader, TheGroupAndDepartmentNumbersCountAsTheUploadAsksForThem) {
  EXPECT_EQ(FirstRecordNumber(ReportKind::Group), ReportFirstNumber(kCodeReportGroup));
  EXPECT_EQ(FirstRecordNumber(ReportKind::Department), ReportFirstNumber(kCodeReportDept));
}

TEST(ReportReader, ABadLineRefusesTheWholeReportWithItsNumber) {
  const std::string good = "2026-12-08 07:59:59, 12, 15, 3400, 0,2100\r\n";
  const std::string plu = "2026-12-08 21:30:00, 3, 4, 102, 7,100,50,2,700,350,7,0,2\r\n";
  const struct {
    const char* name;
    ReportKind kind;
    std::string text;
    int line;
    const char* says;
  } cases[] = {
      {"too few fields", ReportKind::Time, good + "2026-12-08 08:59:59, 1, 2, 3\r\n", 2,
       "line 2: 6 fields expected, 4 found"},
      {"an empty line", ReportKind::Group, good + "\r\n" + good, 2, "6 fields expected, 1 found"},
      {"hour 24", ReportKind::Time, "2026-12-08 24:00:00, 1, 2, 3, 4,5\r\n", 1,
       "\"2026-12-08 24:00:00\" is not a time stamp"},
      {"no time stamp", ReportKind::Department, "12, 1, 2, 3, 4,5\r\n", 1, "is not a time stamp"},
      {"a letter in a number", ReportKind::Group,
       good + good + "2026-12-08 21:30:00, 1, 2, 3x, 4,5", 3,
       "Amount: \"3x\" is not a whole number"},
      {"a total line in a PLU report", ReportKind::Plu, plu + good, 2,
       "13 fields expected, 6 found"},
      {"an empty PLU number", ReportKind::Plu, "2026-12-08 21:30:00, 3, 4, , 7,1,5,2,7,3,7,0,2\n",
       1, "PLU: \"\" is not a whole number"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      ReadReport(c.text, c.kind);
      ADD_FAILURE() << "read without error";
    } catch (const ReportReadError& e) {
      EXPECT_EQ(e.line, c.line);
      EXPECT_NE(std::string(e.what()).find(c.says), std::string::npos) << e.what();
    }
  }
  EXPECT_EQ(ReadReport(plu, ReportKind::Plu).rows.size(), 1u);
  EXPECT_THROW(ReadReportFile("/nonexistent/report.txt", ReportKind::Time), ReportReadError);
}

}  // namespace
