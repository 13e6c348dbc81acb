#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "records/records.h"
#include "session/upload_file.h"
#include "tests/support/echo_answer.h"
#include "tests/support/program_fixture.h"

namespace {

using Lines = std::vector<std::string>;

class UploadRequests : public ::testing::Test {
 protected:
  void SetUp() override {
    program.Serve("127.0.0.61");
    program.Connect(ServedOrder(program));
    f.loop.RunPending();
    logStart = program.Activity().Lines().size();
  }
  Lines Log() const {
    return Lines(program.Activity().Lines().begin() + logStart, program.Activity().Lines().end());
  }
  // The record number that request `index` asked for: `Number` at offset 0,
  // or for PLU `PluNo` at offset 2.
  int RequestedNumber(std::size_t index) const {
    uint16_t number;
    std::memcpy(&number, f.link.sent.at(index).data.data(), sizeof number);
    return number;
  }
  int32_t RequestedPluNo(std::size_t index) const {
    int32_t number;
    std::memcpy(&number, f.link.sent.at(index).data.data() + 2, sizeof number);
    return number;
  }
  // Starts an upload into `name` in the test's folder.
  void Start(const std::string& name) {
    program.ChooseUploadFile(f.folder.File(name));
    program.Upload(ServedUploadOrder(program));
  }

  ProgramFixture f;
  Program& program = *f.program;
  std::size_t logStart = 0;
};

TEST_F(UploadRequests, APluUploadAsksForTheRecordAfterTheLastAnswer) {
  Start("PLU-Up.txt");
  PluRecord answer{};
  for (int32_t carried : {40, 70, 1000}) {
    answer.PluNo = carried;
    Answer(f.link, f.loop, kCodePlu, kDirectionRead, answer);
  }
  ASSERT_EQ(f.link.sent.size(), 4u);
  const int32_t asked[] = {1, 41, 71, 1001};
  for (std::size_t i = 0; i < 4; ++i) {
    PluRecord expected{};
    expected.Field1 = 1;
    expected.PluNo = asked[i];
    ASSERT_EQ(f.link.sent[i].data.size(), sizeof expected);
    EXPECT_EQ(std::memcmp(f.link.sent[i].data.data(), &expected, sizeof expected), 0)
        << "Field1 1, PluNo " << asked[i] << ", all else zero";
    EXPECT_EQ(f.link.sent[i].packet.Code, kCodePlu);
    EXPECT_EQ(f.link.sent[i].packet.Direction, kDirectionRead);
  }
  EXPECT_EQ(program.ServedTransfer().RecordNumber, 1001u);
  EXPECT_EQ(program.ServedTransfer().AnswerNumber, 1000u);
  EXPECT_EQ(Log().front(), "- Success to Send dataUploadNextPLU");
}

TEST_F(UploadRequests, BarcodeIngredientAndScrollMessageAskForTheRecordAfterTheLastAnswer) {
  program.ChooseDataKind(DataKind::Barcode);
  Start("Barcode-Up.txt");
  BarcodeRecord barcode{};
  barcode.Number = 7;
  Answer(f.link, f.loop, kCodeBarcode, kDirectionRead, barcode);
  EXPECT_EQ(RequestedNumber(0), 1);
  EXPECT_EQ(RequestedNumber(1), 8);

  program.ChooseDataKind(DataKind::Ingredient);
  Start("Ingredient-Up.txt");
  IngredientRecord ingredient{};
  ingredient.Number = 65534;
  Answer(f.link, f.loop, kCodeIngredient, kDirectionRead, ingredient);
  EXPECT_EQ(RequestedNumber(3), 65535);

  program.ChooseDataKind(DataKind::ScrollMsg);
  Start("ScrollMsg-Up.txt");
  ScrollMsgRecord scroll{};
  scroll.Number = 12;
  Answer(f.link, f.loop, kCodeScrollMsg, kDirectionRead, scroll);
  EXPECT_EQ(RequestedNumber(5), 13);
  EXPECT_EQ(Log().back(), "- Success to Send dataUploadNextScrollMsg");
}

TEST_F(UploadRequests, EachReportBeginsAtItsFirstNumber) {
  struct Report {
    ReportType type;
    uint8_t code;
    std::size_t recordSize;
    int first;
  };
  const Report reports[] = {
      {ReportType::Plu, kCodeReportPlu, sizeof(ReportPluRecord), 0},
      {ReportType::Time, kCodeReportTime, sizeof(ReportTotalRecord), 0},
      {ReportType::Group, kCodeReportGroup, sizeof(ReportTotalRecord), 0},
      {ReportType::Dept, kCodeReportDept, sizeof(ReportTotalRecord), 1},
  };
  for (const Report& report : reports) {
    SCOPED_TRACE(int(report.code));
    program.ChooseDataKind(DataKind::Report);  // the PLU report is chosen with it
    program.ChooseReportType(report.type);
    Start("report-up.txt");
    EXPECT_EQ(f.link.sent.back().packet.Code, report.code);
    EXPECT_EQ(f.link.sent.back().data.size(), report.recordSize);
    EXPECT_EQ(RequestedNumber(f.link.sent.size() - 1), report.first);
  }
}

TEST_F(UploadRequests, AReportCountsOnFromItsOwnRequest) {
  program.ChooseDataKind(DataKind::Report);  // the PLU report is chosen with it
  Start("reportPLU-up.txt");
  EXPECT_EQ(RequestedNumber(0), 0);
  ReportPluRecord answer{};
  answer.Number = 500;
  Answer(f.link, f.loop, kCodeReportPlu, kDirectionRead, answer);
  EXPECT_EQ(RequestedNumber(1), 1);
  EXPECT_EQ(Log().back(), "- Success to Send dataUploadNextReportPLU");
}

TEST_F(UploadRequests, NotConnectedLogsTheFailLineAndNothingMore) {
  f.link.isConnectResult = 0;
  Start("PLU-Up.txt");
  EXPECT_EQ(Log(), Lines{"- Fail to Send dataUploadNextPLU"});
  EXPECT_TRUE(f.link.sent.empty());
  EXPECT_NE(program.Served()->OpenUploadFile(), nullptr)
      << "the file stays open until the transfer ends";
}

TEST_F(UploadRequests, SpeedkeyCreatesAnEmptyFileAndRequestsNothing) {
  program.ChooseDataKind(DataKind::Speedkey);
  Start("Speedkey-Up.txt");
  EXPECT_TRUE(f.link.sent.empty());
  EXPECT_TRUE(Log().empty());
  ASSERT_NE(program.Served()->OpenUploadFile(), nullptr);
  EXPECT_EQ(program.Served()->OpenUploadFile()->Path(), f.folder.File("Speedkey-Up.txt"));
}

TEST_F(UploadRequests, ASecondUploadClosesTheFirstFileAndStartsAgain) {
  Start("first.txt");
  PluRecord answer{};
  answer.PluNo = 1;
  Answer(f.link, f.loop, kCodePlu, kDirectionRead, answer);
  f.folder.Write("second.txt", "old content\r\n");
  Start("second.txt");
  EXPECT_EQ(program.Served()->OpenUploadFile()->Path(), f.folder.File("second.txt"));
  EXPECT_EQ(f.folder.Read("second.txt"), "");
  EXPECT_EQ(f.folder.Read("first.txt"), "0, 1, 0, , 0, 0, 0, 0, 0\r\n");
  EXPECT_EQ(RequestedPluNo(2), 1);
  EXPECT_EQ(program.ServedTransfer().AnswerNumber, 0u);
}

TEST_F(UploadRequests, TheFileIsMadeInTheCurrentDirectory) {
  const auto before = std::filesystem::current_path();
  std::filesystem::current_path(f.folder.path());
  program.ChooseUploadFile("Here-Up.txt");
  program.Upload(ServedUploadOrder(program));
  std::filesystem::current_path(before);
  ASSERT_NE(program.Served()->OpenUploadFile(), nullptr);
  EXPECT_TRUE(std::filesystem::exists(f.folder.File("Here-Up.txt")));
}

TEST_F(UploadRequests, AFileThatCannotBeCreatedStopsTheActionBeforeAnyRequest) {
  Start("first.txt");
  PluRecord answer{};
  answer.PluNo = 8;
  Answer(f.link, f.loop, kCodePlu, kDirectionRead, answer);
  ASSERT_EQ(program.ServedTransfer().RecordNumber, 9u);
  const std::size_t sent = f.link.sent.size();
  program.ChooseUploadFile(f.folder.File("missing/PLU-Up.txt"));
  program.HandleEvent([&] { program.Upload(ServedUploadOrder(program)); });
  ASSERT_EQ(f.view.failures.size(), 1u);
  EXPECT_EQ(f.view.failures[0].rfind(
                "Cannot create file \"" + f.folder.File("missing/PLU-Up.txt") + "\". ", 0),
            0u)
      << f.view.failures[0];
  EXPECT_EQ(f.link.sent.size(), sent);
  EXPECT_EQ(program.Served()->OpenUploadFile(), nullptr) << "the previous file was closed";
  EXPECT_EQ(program.ServedTransfer().RecordNumber, 0u) << "the transfer state was reset";
}

}  // namespace
