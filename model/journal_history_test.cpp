// One terminal's history read back from journals a test writes: its lines
// newest first across days, and its blocks with their kind and outcome.
#include "model/journal_history.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "tests/support/temp_folder.h"

namespace {

// Two days: a send to both terminals, then a verification and a receive of
// 127.0.0.2 and a failed connect of 127.0.0.3 the next day; each run between
// its first and last line, which name no terminal, and each terminal's block
// of a run beginning with that first line again. The verification's lines
// come between those of another process's send, to 127.0.0.20 only; it
// passes 127.0.0.3 by.
void WriteJournals(const TempFolder& folder) {
  folder.Write("Orlent-2026-12-08.log",
               "2026-12-08T09:00:00 Run: send, PLU, file /srv/PLU-Down.txt, 2 terminals, 2 at "
               "once, started by timer\n"
               "2026-12-08T09:00:00 [127.0.0.2] \n"
               "2026-12-08T09:00:00 [127.0.0.2] Run: send, PLU, file /srv/PLU-Down.txt, 2 "
               "terminals, 2 at once, started by timer\n"
               "2026-12-08T09:00:01 [127.0.0.2] - Success Connect 127.0.0.2\n"
               "2026-12-08T09:00:01 [127.0.0.3] \n"
               "2026-12-08T09:00:01 [127.0.0.3] Run: send, PLU, file /srv/PLU-Down.txt, 2 "
               "terminals, 2 at once, started by timer\n"
               "2026-12-08T09:00:02 [127.0.0.2] - Complete Send Plu (Total : 2)\n"
               "2026-12-08T09:00:02 [127.0.0.3] - Fail Connect 127.0.0.3\n"
               "2026-12-08T09:00:03 [127.0.0.2] - Success to Disconect 127.0.0.2\n"
               "2026-12-08T09:00:03 * End *\n"
               "2026-12-08T09:00:03 Run ended: send, 2 terminals: 1 sent, 1 failed; 2 of 4 "
               "records stored\n");
  folder.Write("Orlent-2026-12-09.log",
               "2026-12-09T10:00:00 Run: verification, PLU, file /srv/PLU-Down.txt, 1 terminal, "
               "1 at once, started by window\n"
               "2026-12-09T10:00:00 Run: send, PLU, file /srv/a, b/Other.txt, 1 terminal, 1 at "
               "once, started by me, 1 terminal, 1 at once, started by you\n"
               "2026-12-09T10:00:00 [127.0.0.2] \n"
               "2026-12-09T10:00:00 [127.0.0.2] Run: verification, PLU, file /srv/PLU-Down.txt, 1 "
               "terminal, 1 at once, started by window\n"
               "2026-12-09T10:00:00 [127.0.0.3] \n"
               "2026-12-09T10:00:00 [127.0.0.3] Run: verification, PLU, file /srv/PLU-Down.txt, 1 "
               "terminal, 1 at once, started by window\n"
               "2026-12-09T10:00:00 [127.0.0.3] - Skip Connect 127.0.0.3\n"
               "2026-12-09T10:00:00 [127.0.0.20] \n"
               "2026-12-09T10:00:00 [127.0.0.20] Run: send, PLU, file /srv/a, b/Other.txt, 1 "
               "terminal, 1 at once, started by me, 1 terminal, 1 at once, started by you\n"
               "2026-12-09T10:00:01 [127.0.0.2] - Differs 127.0.0.2: 1 same, 1 different\n"
               "2026-12-09T10:00:01 [127.0.0.2]   PLU 2 price: 1 in the file, 2 on the terminal\n"
               "2026-12-09T11:00:00 [127.0.0.2] \n"
               "2026-12-09T11:00:05 [127.0.0.2] - CompleteDataReceivedPlu\n"
               "2026-12-09T11:00:05 [127.0.0.20] - Complete Send Plu (Total : 9)\n");
  folder.Write("notes.txt", "2026-12-09T12:00:00 [127.0.0.2] - not a journal\n");
}

}  // namespace

TEST(JournalHistory, ATerminalsLinesNewestFirstAcrossTheDays) {
  TempFolder folder;
  WriteJournals(folder);
  const std::vector<JournalLine> history = TerminalHistory(folder.path(), "127.0.0.2");
  std::vector<std::string> lines;
  for (const JournalLine& line : history) lines.push_back(line.time + " " + line.text);
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "2026-12-09T11:00:05 - CompleteDataReceivedPlu",
                       "2026-12-09T11:00:00 ",
                       "2026-12-09T10:00:01   PLU 2 price: 1 in the file, 2 on the terminal",
                       "2026-12-09T10:00:01 - Differs 127.0.0.2: 1 same, 1 different",
                       "2026-12-09T10:00:00 Run: verification, PLU, file /srv/PLU-Down.txt, 1 "
                       "terminal, 1 at once, started by window",
                       "2026-12-09T10:00:00 ",
                       "2026-12-08T09:00:03 - Success to Disconect 127.0.0.2",
                       "2026-12-08T09:00:02 - Complete Send Plu (Total : 2)",
                       "2026-12-08T09:00:01 - Success Connect 127.0.0.2",
                       "2026-12-08T09:00:00 Run: send, PLU, file /srv/PLU-Down.txt, 2 terminals, "
                       "2 at once, started by timer",
                       "2026-12-08T09:00:00 ",
                   }));
  EXPECT_TRUE(TerminalHistory(folder.path(), "127.0.0.9").empty());
  EXPECT_TRUE(TerminalHistory(folder.File("none"), "127.0.0.2").empty());
}

TEST(JournalHistory, EachBlockSaysWhatItWasAndHowItEnded) {
  TempFolder folder;
  WriteJournals(folder);
  const struct {
    const char* address;
    // time, kind, outcome, file
    std::vector<std::tuple<std::string, BlockKind, std::string, std::string>> blocks;
  } cases[] = {
      {"127.0.0.2",
       {{"2026-12-09T11:00:00", BlockKind::Receive, "- CompleteDataReceivedPlu", ""},
        {"2026-12-09T10:00:00", BlockKind::Verification, "- Differs 127.0.0.2: 1 same, 1 different",
         "/srv/PLU-Down.txt"},
        {"2026-12-08T09:00:00", BlockKind::Send, "- Complete Send Plu (Total : 2)",
         "/srv/PLU-Down.txt"}}},
      // Not ticked for the verification: passed by, no verification.
      {"127.0.0.3",
       {{"2026-12-09T10:00:00", BlockKind::Other, "- Skip Connect 127.0.0.3", "/srv/PLU-Down.txt"},
        {"2026-12-08T09:00:01", BlockKind::Send, "- Fail Connect 127.0.0.3", "/srv/PLU-Down.txt"}}},
      {"127.0.0.20",
       {{"2026-12-09T10:00:00", BlockKind::Send, "- Complete Send Plu (Total : 9)",
         "/srv/a, b/Other.txt"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.address);
    std::vector<std::tuple<std::string, BlockKind, std::string, std::string>> blocks;
    for (const JournalBlock& block : TerminalBlocks(TerminalHistory(folder.path(), c.address))) {
      blocks.emplace_back(block.time, block.kind, block.outcome, block.file);
    }
    EXPECT_EQ(blocks, c.blocks);
  }
}
