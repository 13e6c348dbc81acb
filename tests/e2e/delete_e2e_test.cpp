// Deletions after a download's records, over the real link library and
// orlent-termsim on loopback: the session stores some records, deletes the
// others, and the simulator's store then holds exactly the records kept.
#include <memory>
#include <string>
#include <vector>

#include "session/prepared_download.h"
#include "tests/e2e/e2e_fixture.h"
#include "tests/e2e/sample_files.h"
#include "tests/support/program_fixture.h"

namespace {

class DeleteEndToEnd : public EndToEnd {
 protected:
  // Connects the served terminal, downloads `download` on it and runs until
  // it has disconnected.
  void Send(const PreparedDownload& download) {
    dialled.push_back("127.0.0.2");
    program->Serve("127.0.0.2");
    program->HandleEvent([&] { program->Connect(ServedOrder(*program)); });
    ASSERT_TRUE(loop.RunUntil([&] { return !program->ConnectPending(); }, kRunLimit));
    program->HandleEvent([&] { program->Served()->Download(download); });
    ASSERT_TRUE(loop.RunUntil(
        [&] { return program->Served()->Phase() == SessionPhase::Disconnected; }, kRunLimit));
  }
  PreparedDownload PluFile(int count) {
    folder.Write("PLU-Down.txt", FileText(PluLines(count)));
    DownloadFileRead read;
    PreparedDownload download =
        PrepareDownload(kCodePlu, folder.File("PLU-Down.txt"), program->CodePageInForce(), read);
    EXPECT_FALSE(read.error.has_value());
    return download;
  }
};

TEST_F(DeleteEndToEnd, DeletedRecordsLeaveTheTerminalAndTheOthersStay) {
  StartSimulator({"127.0.0.2"});
  Send(PluFile(5));
  ASSERT_EQ(Dump("127.0.0.2", "plu").size(), 5u);

  // Records 1 and 2 sent again, 4 and 5 deleted, and 9 that it never held.
  PreparedDownload changes = PluFile(2);
  changes.deletes = std::make_shared<const std::vector<int64_t>>(std::vector<int64_t>{4, 5, 9});
  const std::size_t from = program->Activity().Lines().size();
  Send(changes);
  const Lines log = LogFrom(from);
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ(Lines(log.end() - 3, log.end()),
            (Lines{"- Complete Send Plu (Total : 2)", "- Complete Delete PLU (Total : 3)",
                   "- Success to Disconect 127.0.0.2"}));
  const TerminalState state = program->Served()->Glance();
  EXPECT_EQ(state.failure, "");
  EXPECT_EQ(state.deleted, 3u);
  const Lines kept = PluLines(3);
  EXPECT_EQ(Dump("127.0.0.2", "plu"), kept);
}

}  // namespace
