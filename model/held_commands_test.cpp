// What each terminal holds, in the core: the plan of a changes send from the
// held rows alone, the rows a verification replaces with what it read, the
// terminals an edit of the list forgets, and a damaged Orlent.db.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "held/held_store.h"
#include "records/download_files.h"
#include "records/records.h"
#include "tests/support/echo_answer.h"
#include "tests/support/program_fixture.h"

namespace {

using Prices = std::vector<std::pair<int, int>>;  // PLU number, price

std::string PluFile(const Prices& prices) {
  std::string text;
  for (const auto& [number, price] : prices) {
    text += "1\t" + std::to_string(number) + "\t0\tItem " + std::to_string(number) + "\t" +
            std::to_string(price) + "\t0\t1\t0\t0\r\n";
  }
  return text;
}

const Prices kHeld = {{1, 101}, {2, 102}, {3, 103}};

// A started program whose list holds `entries` on port 3001, and whose held
// state says 127.0.0.2 holds kHeld.
struct HeldFixture : ProgramFixture {
  explicit HeldFixture(std::vector<TerminalEntry> entries = {{"127.0.0.2", true},
                                                             {"127.0.0.3", true}}) {
    program->Terminals().SetPort("3001");
    program->Terminals().SetEntries(std::move(entries));
    folder.Write("held.txt", PluFile(kHeld));
    const DownloadFileRead read =
        ReadDownloadFile(*KindOfCode(kCodePlu), folder.File("held.txt"), CodePage());
    std::string error;
    auto store = HeldStore::Open(folder.File("Orlent.db"), error);
    EXPECT_TRUE(store) << error;
    HeldBatch batch(*store, {"127.0.0.2", 3001}, kCodePlu, folder.File("held.txt"));
    EXPECT_TRUE(batch.Begin(read.download->Records(), error)) << error;
    for (const DownloadRecord& record : read.download->Records()) {
      batch.Stored(record.number, record.bytes);
    }
    EXPECT_TRUE(batch.Commit(error)) << error;
  }

  SendPlan Plan(const Prices& prices, bool deleteMissing) {
    folder.Write("file.txt", PluFile(prices));
    return program->Plan(PlanOrder{
        DataKind::Plu, folder.File("file.txt"), program->Terminals().Ticked(), {}, deleteMissing});
  }

  // The records the held state says `address` holds of PLU.
  int64_t HeldRecords(const std::string& address) {
    std::string error;
    const auto summaries = program->HeldSummaries(address, kCodePlu, error);
    EXPECT_TRUE(summaries) << error;
    return summaries && !summaries->empty() ? summaries->front().records : 0;
  }
};

TEST(HeldCommands, APlanCountsWhatEachTerminalWouldBeSentFromTheHeldRowsAlone) {
  struct Counts {
    std::size_t send;
    int fresh, changed, unchanged, missing;
    std::vector<int64_t> toDelete;
    bool nothingHeld;
  };
  const struct {
    const char* name;
    Prices file;
    bool deleteMissing;
    Counts of2, of3;  // 127.0.0.3 holds nothing
  } cases[] = {
      {"the same file", kHeld, false, {0, 0, 0, 3, 0, {}, false}, {3, 3, 0, 0, 0, {}, true}},
      {"a price changed, one added, one gone",
       {{1, 101}, {2, 202}, {4, 104}},
       false,
       {2, 1, 1, 1, 1, {}, false},
       {3, 3, 0, 0, 0, {}, true}},
      {"and what is gone deleted",
       {{1, 101}, {2, 202}, {4, 104}},
       true,
       {2, 1, 1, 1, 1, {3}, false},
       {3, 3, 0, 0, 0, {}, true}},
  };
  HeldFixture f;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const SendPlan plan = f.Plan(c.file, c.deleteMissing);
    EXPECT_EQ(plan.error, "");
    EXPECT_EQ(plan.heldProblem, "");
    ASSERT_EQ(plan.terminals.size(), 2u);
    for (const auto& [terminal, counts] :
         {std::pair(plan.terminals[0], c.of2), std::pair(plan.terminals[1], c.of3)}) {
      SCOPED_TRACE(terminal.address);
      EXPECT_EQ(terminal.port, 3001);
      EXPECT_EQ(terminal.plan.toSend.size(), counts.send);
      EXPECT_EQ(terminal.plan.fresh, counts.fresh);
      EXPECT_EQ(terminal.plan.changed, counts.changed);
      EXPECT_EQ(terminal.plan.unchanged, counts.unchanged);
      EXPECT_EQ(terminal.plan.missing, counts.missing);
      EXPECT_EQ(terminal.plan.toDelete, counts.toDelete);
      EXPECT_EQ(terminal.plan.nothingHeld, counts.nothingHeld);
    }
  }
  EXPECT_TRUE(f.program->AnythingHeld());
  EXPECT_TRUE(f.view.errors.empty()) << "a plan shows no error box";

  f.program->Terminals().SetEntries({{"127.0.0.2", false}});
  EXPECT_EQ(f.Plan(kHeld, false).error, "No Terminal To Send !");
  f.program->Terminals().SetEntries({{"127.0.0.2", true}});
  f.folder.Write("bad.txt", "1\tnot a number\r\n");
  EXPECT_NE(
      f.program
          ->Plan(PlanOrder{
              DataKind::Plu, f.folder.File("bad.txt"), f.program->Terminals().Ticked(), {}, false})
          .error,
      "");
}

TEST(HeldCommands, AVerificationReplacesTheTerminalsRowsWithWhatItRead) {
  HeldFixture f({{"127.0.0.2", true}});
  Program& program = *f.program;
  f.folder.Write("file.txt", PluFile(kHeld));
  program.HandleEvent([&] {
    program.Verify(
        VerifyOrder{DataKind::Plu, f.folder.File("file.txt"), program.Terminals().Ticked(), {}});
  });
  f.loop.Advance(program.CycleOptionsInForce().pauseMs);
  f.loop.RunPending();
  // The terminal was reset: it holds PLU 1 alone, and says nothing follows.
  for (const int32_t number : {1, 0}) {
    PluRecord record{};
    record.Field1 = 1;
    record.PluNo = number;
    record.Field5 = 101;
    std::strcpy(record.Text, number == 0 ? "END: 99 No more records" : "Item 1");
    Answer(f.link, f.loop, kCodePlu, kDirectionRead, record);
  }
  ASSERT_FALSE(program.CycleRunning());
  EXPECT_EQ(f.HeldRecords("127.0.0.2"), 1);
  const SendPlan plan = f.Plan(kHeld, false);
  ASSERT_EQ(plan.terminals.size(), 1u);
  EXPECT_EQ(plan.terminals[0].plan.fresh, 2) << "what the read did not find is sent again";
}

TEST(HeldCommands, AnEditOfTheListForgetsATerminalNoEntryNamesAnyMore) {
  HeldFixture f({{"127.0.0.2", true}, {"127.0.0.2", false}, {"127.0.0.3", false}});
  Program& program = *f.program;
  const struct {
    const char* edit;
    std::function<void()> run;
    int64_t held;  // of 127.0.0.2 after it
  } edits[] = {
      {"an entry deleted while another names the terminal",
       [&] {
         program.Terminals().Select(0);
         program.DeleteTerminal();
       },
       3},
      {"an entry changed to the same terminal",
       [&] {
         program.Terminals().Select(0);
         program.ChangeTerminal("127.0.0.2");
       },
       3},
      {"the last entry that names it changed",
       [&] {
         program.Terminals().Select(0);
         program.ChangeTerminal("127.0.0.4");
       },
       0},
  };
  for (const auto& edit : edits) {
    SCOPED_TRACE(edit.edit);
    program.HandleEvent(edit.run);
    EXPECT_EQ(f.HeldRecords("127.0.0.2"), edit.held);
  }
  EXPECT_FALSE(program.AnythingHeld());
}

TEST(HeldCommands, TheServedTerminalsDownloadKeepsWhatItAcknowledged) {
  HeldFixture f({{"127.0.0.3", false}});
  Program& program = *f.program;
  f.folder.Write("file.txt", PluFile({{7, 107}, {8, 108}}));
  program.HandleEvent([&] { program.Connect({"127.0.0.3", {}}); });
  f.loop.RunPending();
  program.HandleEvent([&] {
    program.Download({"127.0.0.3", DataKind::Plu, f.folder.File("file.txt"), {}});
  });
  EchoLastSent(f.link, f.loop);
  EchoLastSent(f.link, f.loop);
  ASSERT_EQ(program.ServedTransfer().End, TransferEnd::Complete);
  EXPECT_EQ(f.HeldRecords("127.0.0.3"), 2);
}

TEST(HeldCommands, ADamagedOrlentDbPlansTheWholeFileAndNothingIsMadeWithoutNeed) {
  ProgramFixture fresh;
  EXPECT_FALSE(fresh.program->AnythingHeld());
  std::string error;
  EXPECT_EQ(fresh.program->HeldSummaries("", 0, error)->size(), 0u);
  EXPECT_FALSE(std::filesystem::exists(fresh.folder.File("Orlent.db")))
      << "looking is no reason to make one";

  ProgramFixture f;
  f.program->Terminals().SetPort("3001");
  f.program->Terminals().SetEntries({{"127.0.0.2", true}});
  f.folder.Write("Orlent.db", std::string(4096, 'x'));
  f.folder.Write("file.txt", PluFile(kHeld));
  const SendPlan plan = f.program->Plan(
      PlanOrder{DataKind::Plu, f.folder.File("file.txt"), f.program->Terminals().Ticked(), {}});
  EXPECT_NE(plan.heldProblem, "");
  ASSERT_EQ(plan.terminals.size(), 1u);
  EXPECT_TRUE(plan.terminals[0].plan.nothingHeld);
  EXPECT_EQ(plan.terminals[0].plan.toSend.size(), 3u);
}

}  // namespace
