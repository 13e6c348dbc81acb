// Report uploads and the ends of an upload over real connections.
#include <string>
#include <vector>

#include "tests/e2e/e2e_fixture.h"
#include "tests/e2e/sample_files.h"

namespace {

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

TEST_F(EndToEnd, EachReportUploadReadsItsRecordCount) {
  folder.Write("PLU-Down-Default.txt", FileText(PluLines(7)));
  StartSimulator({"127.0.0.2"});
  ASSERT_TRUE(RunCycle({{"127.0.0.2", true}}));  // the PLU report has a record per PLU

  struct Report {
    TRadioButton TForm1::*type;
    std::string completionLine;
    std::size_t count;
  };
  const Report reports[] = {
      {&TForm1::RadioButton4, "- CompleteDataReceivedReportPLU", 7},
      {&TForm1::RadioButton5, "- CompleteDataReceivedReportTime", 24},
      {&TForm1::RadioButton6, "- CompleteDataReceivedReportGroup", 100},
      {&TForm1::RadioButton7, "- CompleteDataReceivedReportDept", 99},
  };
  form->RadioButton3Click();
  for (const Report& report : reports) {
    SCOPED_TRACE(report.completionLine);
    form->RadioButton4.Checked = false;
    (form.get()->*report.type).Checked = true;
    const std::size_t from = form->ListBox1.Items.size();
    ASSERT_TRUE(RunUpload("127.0.0.2", "reportPLU-up.txt"));
    const Lines lines = FileLines("reportPLU-up.txt");
    EXPECT_EQ(lines.size(), report.count);
    for (const auto& line : lines) EXPECT_TRUE(StartsWith(line, "20")) << line;
    const Lines log = LogFrom(from);
    EXPECT_EQ(log[log.size() - 2], report.completionLine);
    (form.get()->*report.type).Checked = false;
  }
}

TEST_F(EndToEnd, AnUploadEndsWhereTheTerminalSaysSo) {
  struct End {
    std::string marker;
    std::size_t lines;  // 95 and 65535 carry a record that is written
  };
  const Lines plu = PluLines(10);
  folder.Write("PLU-Down-Default.txt", FileText(plu));
  for (const End& end : {End{"99", 3}, End{"95", 4}, End{"65535", 4}}) {
    SCOPED_TRACE(end.marker);
    StartSimulator({"127.0.0.2"}, {"--end-after", "3", "--end-with", end.marker});
    ASSERT_TRUE(RunCycle({{"127.0.0.2", true}}));
    ASSERT_TRUE(RunUpload("127.0.0.2", "PLU-Up.txt"));
    const Lines lines = FileLines("PLU-Up.txt");
    ASSERT_EQ(lines.size(), end.lines);
    for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(lines[i], UploadLineOf(plu[i]));
    EXPECT_EQ(form->ListBox1.Items.back(), "- Success to Disconect 127.0.0.2");
    if (end.marker == "99") {
      EXPECT_EQ(form->ListBox1.Items[form->ListBox1.Items.size() - 2], "- CompleteDataReceivedPLU");
    }
    StopSimulator();
  }
}

}  // namespace
