#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "records/record_kinds.h"
#include "records/records.h"
#include "tests/support/program_fixture.h"

namespace {

struct Kind {
  DataKind kind;
  const char* sendFile;
  const char* uploadFile;
  uint8_t downloadCode;  // 0: never sent
  uint8_t uploadCode;    // 0: never received
};

const Kind kKinds[] = {
    {DataKind::Barcode, "Barcode-Down.txt", "Barcode-Up.txt", kCodeBarcode, kCodeBarcode},
    {DataKind::Report, "", "reportPLU-up.txt", 0, kCodeReportPlu},
    {DataKind::Ingredient, "Ingredient-Down.txt", "Ingredient-Up.txt", kCodeIngredient,
     kCodeIngredient},
    {DataKind::ScrollMsg, "ScrollMsg-Down.txt", "ScrollMsg-Up.txt", kCodeScrollMsg, kCodeScrollMsg},
    {DataKind::Speedkey, "Speedkey-Down.txt", "Speedkey-Up.txt", kCodeSpeedkey, 0},
    {DataKind::Plu, "PLU-Down.txt", "PLU-Up.txt", kCodePlu, kCodePlu},
};

}  // namespace

TEST(DataKind, EachChoiceSetsBothFilesItsCodesAndThePluReport) {
  ProgramFixture fx(false);
  Program& program = *fx.program;
  program.ChooseReportType(ReportType::Group);
  for (const Kind& kind : kKinds) {
    SCOPED_TRACE(kind.uploadFile);
    program.ChooseDataKind(kind.kind);
    EXPECT_EQ(program.SendFile(), kind.sendFile);
    EXPECT_EQ(program.UploadFileName(), kind.uploadFile);
    EXPECT_EQ(program.Kind().kind, kind.kind);
    // The PLU report is chosen again with every kind.
    EXPECT_EQ(program.Kind().report, ReportType::Plu);
    EXPECT_EQ(program.Kind().DownloadCode(), kind.downloadCode);
    EXPECT_EQ(program.Kind().UploadCode(), kind.uploadCode);
  }
}

TEST(DataKind, EachReportTypeAsksForItsReportOnlyWithTheReportKind) {
  const std::pair<ReportType, uint8_t> types[] = {{ReportType::Plu, kCodeReportPlu},
                                                  {ReportType::Time, kCodeReportTime},
                                                  {ReportType::Group, kCodeReportGroup},
                                                  {ReportType::Dept, kCodeReportDept}};
  for (const auto& [type, code] : types) {
    EXPECT_EQ((KindChoice{DataKind::Report, type}.UploadCode()), code);
    EXPECT_EQ((KindChoice{DataKind::Barcode, type}.UploadCode()), kCodeBarcode);
  }
  // The reports before any report type is chosen: nothing to receive.
  EXPECT_EQ((KindChoice{DataKind::Report, std::nullopt}.UploadCode()), 0);
}

// Every kind of the table can be chosen, and its choice sends or asks for
// that kind: a kind added to the table without a choice is found here.
TEST(DataKind, EveryKindOfTheTableHasTheChoiceThatLeadsBackToIt) {
  for (const RecordKind& kind : RecordKinds()) {
    SCOPED_TRACE(kind.name);
    const std::optional<KindChoice> choice = KindChoiceOfCode(kind.code);
    ASSERT_TRUE(choice.has_value());
    EXPECT_EQ(choice->DownloadCode(), kind.writable ? kind.code : 0);
    EXPECT_EQ(choice->UploadCode(), kind.received ? kind.code : 0);
    EXPECT_EQ(choice->kind == DataKind::Report, kind.report);
    EXPECT_STREQ(KindUploadFile(choice->kind), kind.uploadFile);
  }
  for (const uint8_t code : {0, 41, 48, 255}) EXPECT_FALSE(KindChoiceOfCode(code)) << int{code};
}

TEST(DataKind, DownloadFilePathIsInTheProgramFolderUnlessAFileWasPicked) {
  ProgramFixture fx(false);
  Program program(fx.loop, fx.view, fx.link.Table(), "/opt/shop/orlent");
  program.ChooseDataKind(DataKind::Plu);
  EXPECT_EQ(program.DownloadFilePath(), "/opt/shop/PLU-Down.txt");

  program.ChooseSendFile("/home/clerk/items.plu");
  EXPECT_EQ(program.SendFile(), "/home/clerk/items.plu");
  EXPECT_TRUE(program.FileChosen());
  EXPECT_EQ(program.DownloadFilePath(), "/home/clerk/items.plu");

  // A kind chosen after the pick names its file in the program folder again.
  program.ChooseDataKind(DataKind::Barcode);
  EXPECT_FALSE(program.FileChosen());
  EXPECT_EQ(program.DownloadFilePath(), "/opt/shop/Barcode-Down.txt");
}
