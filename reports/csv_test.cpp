#include "reports/csv.h"

#include <gtest/gtest.h>

#include "reports/report_cells.h"
#include "reports/report_csv.h"
#include "reports/report_reader.h"

namespace {

TEST(Csv, QuotesTheFieldsThatNeedItAndOnlyThose) {
  const struct {
    std::string field;
    std::string written;
  } cases[] = {
      {"", ""},
      {"plain text", "plain text"},
      {" 12 ", " 12 "},  // blanks are data
      {"Crème brûlée", "Crème brûlée"},
      {"a,b", "\"a,b\""},
      {"say \"cheese\"", "\"say \"\"cheese\"\"\""},
      {"\"", "\"\"\"\""},
      {"two\r\nlines", "\"two\r\nlines\""},
      {"cr\r", "\"cr\r\""},
      {"lf\n", "\"lf\n\""},
  };
  for (const auto& c : cases) EXPECT_EQ(CsvField(c.field), c.written) << c.field;
  EXPECT_EQ(CsvRecord({"a", "b,c", ""}), "a,\"b,c\",\r\n");
}

TEST(Csv, AmountsAreMoneyWithTwoDecimals) {
  const struct {
    int64_t cents;
    const char* text;
  } cases[] = {{0, "0.00"},     {5, "0.05"},   {100, "1.00"},
               {1234, "12.34"}, {-5, "-0.05"}, {-123456, "-1234.56"}};
  for (const auto& c : cases) EXPECT_EQ(MoneyText(c.cents), c.text) << c.cents;
}

TEST(Csv, AReportIsItsHeadingsThenOneRecordPerRow) {
  const std::string text =
      "2026-12-08 07:59:59, 12, 15, 3400, 0,2100\r\n"
      "2026-12-08 08:59:59, 1, 2, 5, 1,250\r\n";
  EXPECT_EQ(ReportCsv(ReadReport(text, ReportKind::Time)),
            "Time,Hour,Sales,Amount,Weight (g),Items,Voided sales\r\n"
            "2026-12-08 07:59:59,7,12,34.00,2100,15,0\r\n"
            "2026-12-08 08:59:59,8,1,0.05,250,2,1\r\n");
  EXPECT_EQ(TotalCells(ReadReport(text, ReportKind::Department)),
            (std::vector<std::string>{"Total", "", "13", "34.05", "2350", "17", "1"}));
}

}  // namespace
