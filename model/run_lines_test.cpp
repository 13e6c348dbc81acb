// The journal's run lines: the first names what ran, its kind, file,
// terminals and who started it; the last counts how the terminals ended.
#include "model/run_lines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "records/records.h"

namespace {

TerminalResult Ended(Outcome outcome, uint32_t acknowledged = 0, uint32_t total = 0,
                     uint32_t deleted = 0) {
  TerminalResult result;
  result.outcome = outcome;
  result.acknowledged = acknowledged;
  result.total = total;
  result.deleted = deleted;
  return result;
}

TEST(RunLines, TheFirstLineNamesWhatRanWhereFromAndWhoStartedIt) {
  const struct {
    RunStart run;
    std::string line;
  } cases[] = {
      {{RunKind::ChangesSend, kCodePlu, "/srv/PLU-Down.txt", 6, 2, "timer"},
       "Run: changes send, PLU, file /srv/PLU-Down.txt, 6 terminals, 2 at once, started by timer"},
      {{RunKind::Repair, kCodeBarcode, "/srv/Barcode-Down.txt", 1, 1, "window"},
       "Run: repair, Barcode, file /srv/Barcode-Down.txt, 1 terminal, 1 at once, started by "
       "window"},
      {{RunKind::Receive, kCodePlu, "/srv/received", 3, 3, "command line"},
       "Run: receive, PLU, folder /srv/received, 3 terminals, 3 at once, started by command line"},
      {{RunKind::Send, 0, "/srv/Report.txt", 1, 1, "ansible"},
       "Run: send, no kind, file /srv/Report.txt, 1 terminal, 1 at once, started by ansible"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RunBeginLine(c.run), c.line);
    EXPECT_EQ(RunFileOf(c.line), c.run.file) << c.line;
  }
}

// The file a first line names is read back whatever it and who started the
// run hold; other lines name none.
TEST(RunLines, TheFileIsReadBackFromTheFirstLine) {
  for (const std::string file : {"/srv/a, b/PLU-Down.txt", "C:\\PLU, 2 terminals.txt", ""}) {
    const RunStart run{
        RunKind::Send, kCodePlu, file, 2, 1, "me, 3 terminals, 1 at once, started by you"};
    EXPECT_EQ(RunFileOf(RunBeginLine(run)), file);
  }
  for (const std::string line :
       {"- Complete Send Plu (Total : 2)", "Run ended: send, 1 terminal: 1 sent, 0 failed",
        "Run: send, PLU, file /srv/x.txt", ""}) {
    EXPECT_EQ(RunFileOf(line), std::nullopt) << line;
  }
}

TEST(RunLines, TheLastLineCountsEachOutcomeAndTheRecords) {
  const struct {
    RunKind ran;
    std::vector<TerminalResult> results;
    std::string line;
  } cases[] = {
      {RunKind::Send,
       {Ended(Outcome::Sent, 3, 3), Ended(Outcome::Failed, 1, 3), Ended(Outcome::NotServed, 0, 3)},
       "Run ended: send, 3 terminals: 1 sent, 1 failed, 1 not served; 4 of 9 records stored"},
      {RunKind::ChangesSend,
       {Ended(Outcome::Sent, 2, 2, 5), Ended(Outcome::Stopped, 0, 2)},
       "Run ended: changes send, 2 terminals: 1 sent, 0 failed, 1 stopped; 2 of 4 records "
       "stored, 5 deleted"},
      {RunKind::Verification,
       {Ended(Outcome::Same), Ended(Outcome::NotProven), Ended(Outcome::Unfinished)},
       "Run ended: verification, 3 terminals: 1 same, 0 differs, 1 not proven, 0 failed, 1 "
       "unfinished"},
      {RunKind::Repair,
       {Ended(Outcome::Differs), Ended(Outcome::Failed)},
       "Run ended: repair, 2 terminals: 0 same, 1 differs, 1 failed"},
      {RunKind::Receive,
       {Ended(Outcome::Received, 6700), Ended(Outcome::Received, 12)},
       "Run ended: receive, 2 terminals: 2 received, 0 failed; 6712 records received"},
  };
  for (const auto& c : cases) EXPECT_EQ(RunEndLine(c.ran, c.results), c.line);
}

}  // namespace
