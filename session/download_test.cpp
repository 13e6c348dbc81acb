#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "records/records.h"
#include "tests/support/download_records.h"
#include "tests/support/echo_answer.h"
#include "tests/support/program_fixture.h"

namespace {

using Lines = std::vector<std::string>;

class Download : public ::testing::Test {
 protected:
  void SetUp() override {
    program.Serve("127.0.0.41");
    program.Connect(
        ServedOrder(program));  // outside a cycle: connects and registers the data callback
    f.loop.RunPending();
    logStart = program.Activity().Lines().size();
  }
  Lines Log() const {
    return Lines(program.Activity().Lines().begin() + logStart, program.Activity().Lines().end());
  }
  int Disconnects() const {
    int n = 0;
    for (const auto& call : f.link.calls) n += call.name == "Disconnect";
    return n;
  }
  // Chooses PLU and the file "PLU-Down.txt" holding `count` records.
  void PluFile(int count) {
    program.ChooseDataKind(DataKind::Plu);
    f.folder.Write("PLU-Down.txt", PluFileLines(count));
  }

  ProgramFixture f;
  Program& program = *f.program;
  std::size_t logStart = 0;
};

TEST_F(Download, PluKeepsOneProgressLineThatCountsUp) {
  PluFile(3);
  program.Download(
      ServedDownloadOrder(program));  // as the menu's Send Data does, right after the connect line
  for (int i = 0; i < 3; ++i) EchoLastSent(f.link, f.loop);
  EXPECT_EQ(program.Activity().Lines()[logStart - 1], "- Success Connect 127.0.0.41");
  EXPECT_EQ(Log(), (Lines{"- Success to Send Plu (3)", "- Complete Send Plu (Total : 3)",
                          "- Success to Disconect 127.0.0.41"}));
  ASSERT_EQ(f.view.replaced.size(), 2u);
  EXPECT_EQ(f.view.replaced[0], std::make_pair(logStart, std::string("- Success to Send Plu (2)")));
  EXPECT_EQ(f.view.replaced[1].second, "- Success to Send Plu (3)");
}

TEST_F(Download, HandsEachRecordOverWholeInFileOrder) {
  PluFile(2);
  program.Download(ServedDownloadOrder(program));
  EchoLastSent(f.link, f.loop);
  ASSERT_EQ(f.link.sent.size(), 2u);
  const DownloadFileRead file =
      ReadPluFile(f.folder.File("PLU-Down.txt"), program.CodePageInForce());
  ASSERT_EQ(file.records, 2);
  for (int position = 1; position <= 2; ++position) {
    const SentPacket& sent = f.link.sent[position - 1];
    EXPECT_EQ(sent.packet.Code, kCodePlu);
    EXPECT_EQ(sent.packet.Direction, kDirectionWrite);
    EXPECT_EQ(sent.address, "127.0.0.41");
    ASSERT_EQ(sent.data.size(), sizeof(PluRecord));
    EXPECT_EQ(std::memcmp(sent.data.data(), file.download->Records()[position - 1].bytes.data(),
                          sizeof(PluRecord)),
              0);
  }
  EXPECT_EQ(program.ServedTransfer().RecordNumber, 2u) << "the PluNo of the record sent";
  EXPECT_EQ(program.ServedTransfer().RecordIndex, 2u);
  EXPECT_EQ(program.ServedTransfer().Direction, kDirectionWrite);
}

TEST_F(Download, TheFirstProgressLineIsAppendedToAnEmptyLog) {
  PluFile(1);
  program.Activity().Clear();
  program.Download(ServedDownloadOrder(program));
  EXPECT_EQ(program.Activity().Lines(), Lines{"- Success to Send Plu (1)"});
}

TEST_F(Download, NotConnectedStopsAtTheFirstRecordAndKeepsTheConnection) {
  PluFile(2);
  f.link.isConnectResult = 0;
  program.Download(ServedDownloadOrder(program));
  f.loop.RunUntilIdle();
  EXPECT_EQ(Log(), Lines{"- Fail to Send Plu (0)"});
  EXPECT_TRUE(f.link.sent.empty());
  EXPECT_EQ(Disconnects(), 0);
}

TEST_F(Download, ARefusedRecordCountsAsHandedOver) {
  PluFile(2);
  f.link.sendResult = 0;
  program.Download(ServedDownloadOrder(program));
  EXPECT_EQ(Log(), Lines{"- Fail to Send Plu (1)"});
  EXPECT_EQ(Disconnects(), 0);
}

TEST_F(Download, ARefusedLastRecordIsAFailureNotACompleteDownload) {
  PluFile(2);
  program.Download(ServedDownloadOrder(program));
  f.link.sendResult = 0;
  EchoLastSent(f.link, f.loop);
  EXPECT_EQ(Log(), (Lines{"- Success to Send Plu (1)", "- Fail to Send Plu (2)"}));
  EXPECT_EQ(Disconnects(), 0);
}

TEST_F(Download, ARecordTheTerminalAcknowledgesUnderAnotherNumberEndsTheDownloadAsFailed) {
  PluFile(3);
  program.Download(ServedDownloadOrder(program));
  EchoLastSent(f.link, f.loop);
  // A full memory answers record 2 with number 0 and a status text.
  PluRecord refusal{};
  std::memcpy(refusal.Text, "ERR: 90 Memory full", 20);
  Answer(f.link, f.loop, kCodePlu, kDirectionWrite, refusal);
  EXPECT_EQ(Log(), (Lines{"- Success to Send Plu (2)", "- Fail to Send Plu (2)",
                          "- Success to Disconect 127.0.0.41"}));
  EXPECT_EQ(f.link.sent.size(), 2u);

  program.ChooseDataKind(DataKind::Barcode);
  f.folder.Write("Barcode-Down.txt", "7\t2\t3\tApples\t2000001\n8\t2\t3\tPears\t2000002\n");
  logStart = program.Activity().Lines().size();
  f.link.Open("127.0.0.41");  // connected again for the next download
  program.Download(ServedDownloadOrder(program));
  BarcodeRecord other{};
  other.Number = 9;
  Answer(f.link, f.loop, kCodeBarcode, kDirectionWrite, other);
  EXPECT_EQ(Log(),
            (Lines{"- Success to Send dataDownloadNextBarcode", "DataReceivedBarcode",
                   "- Fail to Send dataDownloadNextBarcode", "- Success to Disconect 127.0.0.41"}));
}

TEST_F(Download, AnEmptyFileIsRefusedAndNothingIsSentOrLogged) {
  PluFile(0);
  program.Download(ServedDownloadOrder(program));
  EXPECT_EQ(f.view.errors,
            Lines{"Error in input file ! (PLU-Down.txt: the file holds no records)"});
  EXPECT_EQ(Log(), Lines{});
  EXPECT_TRUE(f.link.sent.empty());
  EXPECT_EQ(Disconnects(), 0);
}

TEST_F(Download, BarcodeLogsEveryRecordAndItsAcknowledgment) {
  program.ChooseDataKind(DataKind::Barcode);
  f.folder.Write("Barcode-Down.txt", "1\t2\t3\tApples\t2000001\n2\t2\t3\tPears\t2000002\n");
  program.Download(ServedDownloadOrder(program));
  EchoLastSent(f.link, f.loop);
  EchoLastSent(f.link, f.loop);
  EXPECT_EQ(Log(), (Lines{"- Success to Send dataDownloadNextBarcode", "2000001DataReceivedBarcode",
                          "- Success to Send dataDownloadNextBarcode", "2000002DataReceivedBarcode",
                          "- CompleteDownloadNextBarcode", "- Success to Disconect 127.0.0.41"}));
  EXPECT_EQ(program.ServedTransfer().AnswerNumber, 2u);
}

TEST_F(Download, IngredientAndScrollMessageEndTheSameWay) {
  program.ChooseDataKind(DataKind::Ingredient);
  f.folder.Write("Ingredient-Down.txt", "7\tFlour, water, salt\n");
  program.Download(ServedDownloadOrder(program));
  EchoLastSent(f.link, f.loop);
  program.ChooseDataKind(DataKind::ScrollMsg);
  f.folder.Write("ScrollMsg-Down.txt", "4\tFresh bread daily\t1\n");
  f.link.Open("127.0.0.41");  // connected again for the next download
  program.Download(ServedDownloadOrder(program));
  EchoLastSent(f.link, f.loop);
  EXPECT_EQ(Log(), (Lines{"- Success to Send dataDownloadNextIngredient",
                          "Flour, water, saltDataReceivedIngredient",
                          "- CompleteDownloadNextIngredient", "- Success to Disconect 127.0.0.41",
                          "- Success to Send dataDownloadNextScrollMsg",
                          "Fresh bread dailyDataReceivedScrollMsg",
                          "- CompleteDownloadNextScrollMsg", "- Success to Disconect 127.0.0.41"}));
  EXPECT_EQ(f.link.sent[1].packet.Code, kCodeScrollMsg);
  EXPECT_EQ(f.link.sent[1].data.size(), sizeof(ScrollMsgRecord));
}

TEST_F(Download, TheSpeedkeyRecordsAcknowledgmentEndsTheDownload) {
  program.ChooseDataKind(DataKind::Speedkey);
  std::string line;
  for (int column = 1; column <= 144; ++column) line += std::to_string(column) + "\t";
  f.folder.Write("Speedkey-Down.txt", line + "\n");
  program.Download(ServedDownloadOrder(program));
  ASSERT_EQ(f.link.sent.size(), 1u);
  EXPECT_EQ(f.link.sent[0].packet.Code, kCodeSpeedkey);
  EXPECT_EQ(program.ServedTransfer().RecordNumber, 1u);
  EchoLastSent(f.link, f.loop);
  EXPECT_EQ(Log(), (Lines{"- Success to Send dataDownloadNextSpeedkey", "DataReceivedSpeedkey",
                          "- CompleteDownloadNextSpeedkey", "- Success to Disconect 127.0.0.41"}));
  EXPECT_EQ(f.link.sent.size(), 1u);
}

TEST_F(Download, AnEmptySpeedkeyFileIsRefusedAndNothingIsSentOrLogged) {
  program.ChooseDataKind(DataKind::Speedkey);
  f.folder.Write("Speedkey-Down.txt", "\n");
  program.Download(ServedDownloadOrder(program));
  EXPECT_EQ(f.view.errors, Lines{"Error in input file ! (Speedkey-Down.txt, line 1: the first line "
                                 "is empty, it holds no record)"});
  EXPECT_EQ(Log(), Lines{});
  EXPECT_TRUE(f.link.sent.empty());
}

TEST_F(Download, TheReportKindSendsNothingAndEndsAtOnceOnlyInACycle) {
  PluFile(2);
  program.Download(ServedDownloadOrder(program));  // a PLU download, left after its first record
  ASSERT_EQ(program.ServedTransfer().RecordIndex, 1u);
  const std::size_t sent = f.link.sent.size();
  program.ChooseDataKind(DataKind::Report);
  logStart = program.Activity().Lines().size();
  program.Download(ServedDownloadOrder(program));
  EXPECT_TRUE(Log().empty());
  EXPECT_EQ(program.ServedTransfer().RecordIndex, 0u);
  EXPECT_EQ(program.ServedTransfer().Direction, kDirectionWrite);

  program.Terminals().SetEntries({{"127.0.0.41", true}, {"127.0.0.42", true}});
  program.HandleEvent([&] { program.Send(TickedSendOrder(program)); });
  f.loop.Advance(3000);
  EXPECT_EQ(program.ServedAddress(), "127.0.0.42") << "the cycle moved on";
  f.loop.Advance(3000);
  EXPECT_EQ(Log(), (Lines{"", "- Success Connect 127.0.0.41", "- Success to Disconect 127.0.0.41",
                          "", "- Success Connect 127.0.0.42", "- Success to Disconect 127.0.0.42",
                          "", "* End *"}));
  EXPECT_EQ(f.link.sent.size(), sent);
}

TEST_F(Download, AParseErrorSendsNothingAtAll) {
  PluFile(0);
  f.folder.Write("PLU-Down.txt", PluFileLines(1) + "1\t2\t3\n");
  program.Download(ServedDownloadOrder(program));
  EXPECT_EQ(f.view.errors, Lines{"Error in input file ! (PLU-Down.txt, line 2, column 5: the line "
                                 "has only 3 columns)"});
  EXPECT_EQ(Log(), Lines{});
  EXPECT_TRUE(f.link.sent.empty());
}

TEST_F(Download, ANewDownloadStartsAgainAtTheFirstRecord) {
  PluFile(3);
  program.Download(ServedDownloadOrder(program));
  EchoLastSent(f.link, f.loop);
  program.Download(ServedDownloadOrder(program));
  ASSERT_EQ(f.link.sent.size(), 3u);
  EXPECT_EQ(f.link.sent[2].data, f.link.sent[0].data);
  EXPECT_EQ(program.ServedTransfer().RecordIndex, 1u);
}

}  // namespace
