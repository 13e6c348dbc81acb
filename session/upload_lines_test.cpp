#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "session/upload_file.h"
#include "records/records.h"
#include "records/upload_line.h"
#include "tests/support/echo_answer.h"
#include "tests/support/program_fixture.h"
#include "session/upload.h"

namespace {

template <std::size_t N>
void SetText(char (&field)[N], const std::string& text) {
  std::memset(field, 0, N);
  std::memcpy(field, text.data(), text.size() < N ? text.size() : N);
}

class UploadLines : public ::testing::Test {
 protected:
  void SetUp() override { program.OpenUploadFile = UploadFile::Create(f.folder.File("up.txt")); }
  std::string FileText() const { return f.folder.Read("up.txt"); }

  ProgramFixture f;
  Program& program = *f.program;
};

// Each writer logs its record's upload line with the writer's name after it,
// and appends the line to the upload file.
TEST_F(UploadLines, EachWriterLogsTheLineWithItsNameAndAppendsItToTheFile) {
  PluRecord plu{};
  plu.PluNo = 11;
  BarcodeRecord barcode{};
  SetText(barcode.Text1, "Milk");
  IngredientRecord ingredient{};
  ingredient.Number = 20;
  ScrollMsgRecord scroll{};
  scroll.Number = 4;
  ReportPluRecord reportPlu{};
  reportPlu.Year = 24;
  ReportTotalRecord total{};
  total.Value1 = 1;
  struct Case {
    std::function<void()> write;
    std::string line;
    std::string writer;
  };
  const Case cases[] = {
      {[&] { AddPlu(program, &plu); }, PluUploadLine(plu), "AddPlu"},
      {[&] { AddBarcode(program, &barcode); }, BarcodeUploadLine(barcode), "AddBarcode"},
      {[&] { AddIngredient(program, &ingredient); }, IngredientUploadLine(ingredient),
       "AddIngredient"},
      {[&] { AddScrollMsg(program, &scroll); }, ScrollMsgUploadLine(scroll), "AddScrollMsg"},
      {[&] { AddReportPLU(program, &reportPlu); }, ReportPluUploadLine(reportPlu), "AddReportPLU"},
      {[&] { AddReportTime(program, &total); }, ReportTotalUploadLine(total), "AddReportTime"},
      {[&] { AddReportGroup(program, &total); }, ReportTotalUploadLine(total), "AddReportGroup"},
      {[&] { AddReportDept(program, &total); }, ReportTotalUploadLine(total), "AddReportDept"},
  };
  std::string file;
  for (const Case& c : cases) {
    c.write();
    EXPECT_EQ(program.ActivityLog.Items.back(), c.line + c.writer);
    file += c.line;
  }
  EXPECT_EQ(FileText(), file);
}

TEST_F(UploadLines, ANullRecordWritesNothing) {
  const std::size_t lines = program.ActivityLog.Items.size();
  AddPlu(program, nullptr);
  AddReportDept(program, nullptr);
  EXPECT_EQ(program.ActivityLog.Items.size(), lines);
  EXPECT_EQ(FileText(), "");
}

TEST_F(UploadLines, WithoutAnUploadFileTheLineIsOnlyLogged) {
  program.CloseUploadFile();
  IngredientRecord ingredient{};
  ingredient.Number = 1;
  AddIngredient(program, &ingredient);
  EXPECT_EQ(program.ActivityLog.Items.back(), "1,\r\nAddIngredient");
  EXPECT_EQ(FileText(), "");
}

TEST_F(UploadLines, ALineThatCannotBeWrittenEndsTheUpload) {
  program.ServedAddress.Text = "127.0.0.71";
  program.Connect();
  program.UploadFileBox.Text = "/dev/full";
  program.Upload();
  PluRecord answer{};
  answer.PluNo = 1;
  Answer(f.link, f.loop, kCodePlu, kDirectionRead, answer);
  const auto& log = program.ActivityLog.Items;
  EXPECT_EQ(log[log.size() - 2], "- Fail to Write /dev/full");
  EXPECT_EQ(log.back(), "- Success to Disconect 127.0.0.71");
  EXPECT_EQ(f.link.sent.size(), 1u) << "no record is asked for that would be lost";
  EXPECT_EQ(program.OpenUploadFile, nullptr);
}

}  // namespace
