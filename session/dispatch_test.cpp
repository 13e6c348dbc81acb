#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "link/answer_router.h"
#include "records/records.h"
#include "tests/support/echo_answer.h"
#include "tests/support/program_fixture.h"

namespace {

using Lines = std::vector<std::string>;

template <std::size_t N>
void SetText(char (&field)[N], const std::string& text) {
  std::memset(field, 0, N);
  std::memcpy(field, text.data(), text.size() < N ? text.size() : N);
}

BarcodeRecord Barcode(uint16_t number, const std::string& text2) {
  BarcodeRecord record{};
  record.Number = number;
  record.Field2 = 2;
  record.Field3 = 3;
  SetText(record.Text1, "Apples");
  SetText(record.Text2, text2);
  return record;
}

ReportTotalRecord Total(uint16_t number) {
  ReportTotalRecord record{};
  record.Number = number;
  record.Year = 24;
  record.Month = 3;
  record.Day = 7;
  record.Value1 = number;
  return record;
}

class Dispatch : public ::testing::Test {
 protected:
  void SetUp() override {
    program.Serve("127.0.0.51");
    program.Connect(ServedOrder(program));  // registers the data callback with the fake library
    f.loop.RunPending();
    program.ChooseUploadFile(f.folder.File("up.txt"));
    logStart = program.Activity().Lines().size();
  }
  Lines Log() const {
    return Lines(program.Activity().Lines().begin() + logStart, program.Activity().Lines().end());
  }
  std::string UploadFileText() const { return f.folder.Read("up.txt"); }
  // Starts an upload on the connection, open again after an earlier transfer's end.
  void Upload() {
    f.link.Open("127.0.0.51");
    program.Upload(ServedUploadOrder(program));
  }
  int Disconnects() const {
    int n = 0;
    for (const auto& call : f.link.calls) n += call.name == "Disconnect";
    return n;
  }
  // Starts an upload of the report type `reportType`.
  void StartReport(ReportType reportType) {
    program.ChooseDataKind(DataKind::Report);
    program.ChooseReportType(reportType);
    program.ChooseUploadFile(f.folder.File("up.txt"));
    Upload();
  }
  uint16_t LastRequestedNumber() const {
    uint16_t number;
    std::memcpy(&number, f.link.sent.back().data.data(), sizeof number);
    return number;
  }
  // Answers a report request of `code` with the record numbered `number`.
  void AnswerReport(uint8_t code, uint16_t number) {
    if (code == kCodeReportPlu) {
      ReportPluRecord record{};
      record.Number = number;
      Answer(f.link, f.loop, code, kDirectionRead, record);
    } else {
      Answer(f.link, f.loop, code, kDirectionRead, Total(number));
    }
  }
  // Answers every report request with the record asked for, until no new request goes out.
  void AnswerReportRequests(uint8_t code) {
    std::size_t answered = 0;
    while (f.link.sent.size() > answered && answered < 1000) {
      answered = f.link.sent.size();
      Answer(f.link, f.loop, code, kDirectionRead, Total(LastRequestedNumber()));
    }
  }

  ProgramFixture f;
  Program& program = *f.program;
  std::size_t logStart = 0;
};

TEST_F(Dispatch, StatusNinetyNineEndsAnUploadWithoutWritingTheRecord) {
  program.ChooseDataKind(DataKind::Barcode);
  program.ChooseUploadFile(f.folder.File("up.txt"));
  Upload();
  Answer(f.link, f.loop, kCodeBarcode, kDirectionRead, Barcode(0, "Memory: 99 no more records"));
  EXPECT_EQ(Log(), (Lines{"- Success to Send dataUploadNextBarcode",
                          "- CompleteDataReceivedBarcode", "- Success to Disconect 127.0.0.51"}));
  EXPECT_EQ(UploadFileText(), "");
  EXPECT_EQ(program.Served()->OpenUploadFile(), nullptr);
  EXPECT_EQ(program.ServedTransfer().Direction, 0);
  EXPECT_EQ(f.link.sent.size(), 1u);
}

TEST_F(Dispatch, StatusNinetyFiveAndNumber65535WriteTheRecordAndEndTheUpload) {
  program.ChooseDataKind(DataKind::Barcode);
  for (const BarcodeRecord& last : {Barcode(0, "End: 95"), Barcode(65535, "Last")}) {
    program.ChooseUploadFile(f.folder.File("up.txt"));
    Upload();
    Answer(f.link, f.loop, kCodeBarcode, kDirectionRead, Barcode(1, "First"));
    Answer(f.link, f.loop, kCodeBarcode, kDirectionRead, last);
    const std::string expected = "1, 2, 3, Apples, First\r\n" + std::to_string(last.Number) +
                                 ", 2, 3, Apples, " + last.Text2 + "\r\n";
    EXPECT_EQ(UploadFileText(), expected);
    EXPECT_EQ(Log().back(), "- Success to Disconect 127.0.0.51");
    EXPECT_EQ(program.Served()->OpenUploadFile(), nullptr);
  }
  EXPECT_EQ(f.link.sent.size(), 4u);
}

TEST_F(Dispatch, AStatusTextWithoutItsCodeIsNoEndButARecordOutOfOrder) {
  program.ChooseDataKind(DataKind::Barcode);
  for (const char* text : {"no colon 99", "Cut:", "Other: 42"}) {
    SCOPED_TRACE(text);
    program.ChooseUploadFile(f.folder.File("up.txt"));
    Upload();
    const std::size_t from = program.Activity().Lines().size();
    Answer(f.link, f.loop, kCodeBarcode, kDirectionRead, Barcode(0, text));
    // Numbered 0 to the request for record 1: the upload does not move forward.
    EXPECT_EQ(Lines(program.Activity().Lines().begin() + from, program.Activity().Lines().end()),
              (Lines{"- Fail to Send dataUploadNextBarcode", "- Success to Disconect 127.0.0.51"}));
    EXPECT_EQ(UploadFileText(), "");
  }
  EXPECT_EQ(f.link.sent.size(), 3u);
}

TEST_F(Dispatch, OnlyPluNumber65535ItselfEndsAPluUpload) {
  program.ChooseUploadFile(f.folder.File("up.txt"));
  Upload();
  PluRecord plu{};
  for (int32_t number : {0x1FFFF, 65535}) {
    plu.PluNo = number;
    Answer(f.link, f.loop, kCodePlu, kDirectionRead, plu);
  }
  EXPECT_EQ(f.link.sent.size(), 2u);
  EXPECT_EQ(Disconnects(), 1);
  EXPECT_EQ(program.ServedTransfer().AnswerNumber, 65535u);
}

TEST_F(Dispatch, ATimeReportReadsRecords0To23) {
  StartReport(ReportType::Time);
  AnswerReportRequests(kCodeReportTime);
  ASSERT_EQ(f.link.sent.size(), 24u);
  EXPECT_EQ(LastRequestedNumber(), 23);
  const Lines log = Log();
  EXPECT_EQ(Lines(log.end() - 3, log.end()),
            (Lines{"2024-03-07 00:00:00, 23, 0, 0, 0,0\r\nAddReportTime",
                   "- CompleteDataReceivedReportTime", "- Success to Disconect 127.0.0.51"}));
  EXPECT_EQ(program.ServedTransfer().Direction, kDirectionRead)
      << "a count ends with the direction kept";
  EXPECT_EQ(program.Served()->Glance().failure, "") << "a report read to its count is whole";
}

TEST_F(Dispatch, AnUploadDisconnectedBeforeTheTerminalEndedItSaysItHoldsOnlyPart) {
  StartReport(ReportType::Time);
  AnswerReport(kCodeReportTime, 0);
  program.Disconnect(ServedOrder(program));
  f.loop.RunPending();
  EXPECT_EQ(UploadFileText(), "2024-03-07 00:00:00, 0, 0, 0, 0,0\r\n");
  EXPECT_EQ(program.Served()->Glance().failure, "disconnected before the end");
}

TEST_F(Dispatch, GroupAndDepartmentReportsStartAtTheirFirstRecords) {
  StartReport(ReportType::Group);
  EXPECT_EQ(LastRequestedNumber(), 0);
  AnswerReportRequests(kCodeReportGroup);
  EXPECT_EQ(f.link.sent.size(), 100u);

  const std::size_t before = f.link.sent.size();
  StartReport(ReportType::Dept);
  EXPECT_EQ(LastRequestedNumber(), 1);
  AnswerReportRequests(kCodeReportDept);
  EXPECT_EQ(f.link.sent.size() - before, 99u);
  EXPECT_EQ(Log().back(), "- Success to Disconect 127.0.0.51");
}

TEST_F(Dispatch, AReportStatusIsReadWithinItsField) {
  StartReport(ReportType::Time);
  ReportTotalRecord record = Total(0);
  std::memset(record.Text, 'x', sizeof record.Text);
  record.Text[sizeof record.Text - 2] = ':';  // the code would lie past the field
  std::memcpy(&record.Value1, "99", 2);       // ... where the next field holds "99"
  Answer(f.link, f.loop, kCodeReportTime, kDirectionRead, record);
  EXPECT_EQ(Disconnects(), 0);
  EXPECT_EQ(f.link.sent.size(), 2u);

  record.Text[sizeof record.Text - 2] = 'x';
  std::memcpy(record.Text + sizeof record.Text - 4, ": 99", 4);  // fills the field to its end
  Answer(f.link, f.loop, kCodeReportTime, kDirectionRead, record);
  EXPECT_EQ(Disconnects(), 1);
  EXPECT_EQ(Log()[Log().size() - 2], "- CompleteDataReceivedReportTime");
}

TEST_F(Dispatch, ASpeedkeyAnswerToAReadOnlyLogs) {
  program.ChooseDataKind(DataKind::Speedkey);
  program.ChooseUploadFile(f.folder.File("up.txt"));
  Upload();  // an upload with nothing to request
  SpeedkeyRecord record{};
  record.Number = 3;
  Answer(f.link, f.loop, kCodeSpeedkey, kDirectionRead, record);
  record.Number = 0;
  SetText(record.Text, "Status: 99");
  Answer(f.link, f.loop, kCodeSpeedkey, kDirectionRead, record);
  EXPECT_EQ(Log(), (Lines{"- CompleteDataReceivedSpeedkey", "- CompleteDataReceivedSpeedkey",
                          "- Success to Disconect 127.0.0.51"}));
  EXPECT_TRUE(f.link.sent.empty());
}

TEST_F(Dispatch, AnAcknowledgmentAfterTheEndClosesTheUploadFileAndSendsNothing) {
  Upload();
  ASSERT_NE(program.Served()->OpenUploadFile(), nullptr);
  program.Served()->State().Direction = 0;  // the transfer has ended
  Answer(f.link, f.loop, kCodeBarcode, kDirectionWrite, Barcode(5, "Ack"));
  EXPECT_EQ(program.Served()->OpenUploadFile(), nullptr);
  EXPECT_EQ(f.link.sent.size(), 1u);
  EXPECT_EQ(Log().back(), "AckDataReceivedBarcode");
  EXPECT_EQ(program.ServedTransfer().AnswerNumber, 5u);
}

TEST_F(Dispatch, AnswersOutsideTheTablesChangeNothing) {
  Upload();
  const Lines before = program.Activity().Lines();
  const TransferState state = program.ServedTransfer();
  const ReportTotalRecord total = Total(4);
  EXPECT_TRUE(f.link.Deliver(33, kDirectionRead, total));
  EXPECT_TRUE(f.link.Deliver(kCodeBarcode, 1, Barcode(4, "x")));
  EXPECT_TRUE(f.link.Deliver(kCodeReportTime, kDirectionWrite, total));
  EXPECT_TRUE(f.link.Deliver(kCodeBarcode, kDirectionRead, &total, 10));  // not a whole record
  f.loop.RunPending();
  EXPECT_EQ(program.Activity().Lines(), before);
  EXPECT_EQ(program.ServedTransfer().AnswerNumber, state.AnswerNumber);
  EXPECT_EQ(f.link.sent.size(), 1u);
}

// A report upload ends once its record count is read: after the answer
// carrying its last record nothing more is asked for, and the link is closed.
TEST_F(Dispatch, EachReportEndsAfterItsLastRecord) {
  struct Report {
    ReportType type;
    uint8_t code;
    uint16_t last;
    std::string completion;
  };
  const Report reports[] = {
      {ReportType::Plu, kCodeReportPlu, 9999, "- CompleteDataReceivedReportPLU"},
      {ReportType::Time, kCodeReportTime, 23, "- CompleteDataReceivedReportTime"},
      {ReportType::Group, kCodeReportGroup, 99, "- CompleteDataReceivedReportGroup"},
      {ReportType::Dept, kCodeReportDept, 99, "- CompleteDataReceivedReportDept"},
  };
  for (const Report& report : reports) {
    SCOPED_TRACE(report.completion);
    StartReport(report.type);
    const std::size_t sent = f.link.sent.size();
    const int disconnects = Disconnects();
    AnswerReport(report.code, report.last - 1);
    EXPECT_EQ(f.link.sent.size(), sent + 1) << "the last record is asked for";
    EXPECT_EQ(Disconnects(), disconnects);
    AnswerReport(report.code, report.last);
    EXPECT_EQ(f.link.sent.size(), sent + 1) << "nothing is asked for after the last record";
    EXPECT_EQ(Disconnects(), disconnects + 1);
    EXPECT_EQ(Log()[Log().size() - 2], report.completion);
  }
}

}  // namespace
