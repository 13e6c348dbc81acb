#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "records/records.h"
#include "records/upload_line.h"
#include "session/upload.h"
#include "tests/support/echo_answer.h"
#include "tests/support/program_fixture.h"

namespace {

// A record as the bytes the line writer takes.
template <class Record>
const uint8_t* Bytes(const Record& record) {
  return reinterpret_cast<const uint8_t*>(&record);
}

template <std::size_t N>
void SetText(char (&field)[N], const std::string& text) {
  std::memset(field, 0, N);
  std::memcpy(field, text.data(), text.size() < N ? text.size() : N);
}

class UploadLines : public ::testing::Test {
 protected:
  // An upload of no kind opens its file and asks for nothing: the writers below
  // then write into it as the answers of an upload would.
  void SetUp() override {
    Session().Upload(0, f.folder.File("up.txt"));
    ASSERT_NE(Session().OpenUploadFile(), nullptr);
  }
  std::string FileText() const { return f.folder.Read("up.txt"); }
  TerminalSession& Session() { return program.OpenServedSession(ServedOrder(program)); }

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
      {[&] { AddUploadLine(Session(), *KindOfCode(kCodePlu), Bytes(plu)); },
       PluUploadLine(plu, CodePage()), "AddPlu"},
      {[&] { AddUploadLine(Session(), *KindOfCode(kCodeBarcode), Bytes(barcode)); },
       BarcodeUploadLine(barcode, CodePage()), "AddBarcode"},
      {[&] { AddUploadLine(Session(), *KindOfCode(kCodeIngredient), Bytes(ingredient)); },
       IngredientUploadLine(ingredient, CodePage()), "AddIngredient"},
      {[&] { AddUploadLine(Session(), *KindOfCode(kCodeScrollMsg), Bytes(scroll)); },
       ScrollMsgUploadLine(scroll, CodePage()), "AddScrollMsg"},
      {[&] { AddUploadLine(Session(), *KindOfCode(kCodeReportPlu), Bytes(reportPlu)); },
       ReportPluUploadLine(reportPlu), "AddReportPLU"},
      {[&] { AddUploadLine(Session(), *KindOfCode(kCodeReportTime), Bytes(total)); },
       ReportTotalUploadLine(total), "AddReportTime"},
      {[&] { AddUploadLine(Session(), *KindOfCode(kCodeReportGroup), Bytes(total)); },
       ReportTotalUploadLine(total), "AddReportGroup"},
      {[&] { AddUploadLine(Session(), *KindOfCode(kCodeReportDept), Bytes(total)); },
       ReportTotalUploadLine(total), "AddReportDept"},
  };
  std::string file;
  for (const Case& c : cases) {
    c.write();
    EXPECT_EQ(program.Activity().Lines().back(), c.line + c.writer);
    file += c.line;
  }
  EXPECT_EQ(FileText(), file);
}

TEST_F(UploadLines, ANullRecordWritesNothing) {
  const std::size_t lines = program.Activity().Lines().size();
  AddUploadLine(Session(), *KindOfCode(kCodePlu), nullptr);
  AddUploadLine(Session(), *KindOfCode(kCodeReportDept), nullptr);
  EXPECT_EQ(program.Activity().Lines().size(), lines);
  EXPECT_EQ(FileText(), "");
}

TEST_F(UploadLines, WithoutAnUploadFileTheLineIsOnlyLogged) {
  Session().CloseUploadFile();
  IngredientRecord ingredient{};
  ingredient.Number = 1;
  AddUploadLine(Session(), *KindOfCode(kCodeIngredient), Bytes(ingredient));
  EXPECT_EQ(program.Activity().Lines().back(), "1,\r\nAddIngredient");
  EXPECT_EQ(FileText(), "");
}

TEST_F(UploadLines, ALineThatCannotBeWrittenEndsTheUpload) {
  program.Serve("127.0.0.71");
  program.Connect(ServedOrder(program));
  f.loop.RunPending();
  program.ChooseUploadFile("/dev/full");
  program.Upload(ServedUploadOrder(program));
  PluRecord answer{};
  answer.PluNo = 1;
  Answer(f.link, f.loop, kCodePlu, kDirectionRead, answer);
  const auto& log = program.Activity().Lines();
  EXPECT_EQ(log[log.size() - 2], "- Fail to Write /dev/full");
  EXPECT_EQ(log.back(), "- Success to Disconect 127.0.0.71");
  EXPECT_EQ(f.link.sent.size(), 1u) << "no record is asked for that would be lost";
  EXPECT_EQ(program.Served()->OpenUploadFile(), nullptr);
}

}  // namespace
