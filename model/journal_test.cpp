// The daily journal: a send cycle's lines in the journal of each line's day,
// the lines of terminals served at once, a journal that cannot be written or
// is no regular file, and the removal of old journals.
#include "model/journal.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/echo_answer.h"
#include "tests/support/program_fixture.h"

namespace {

using namespace std::chrono;
using Lines = std::vector<std::string>;

// 23:59:58 on 8 December 2026, moving on with the loop's virtual time.
void ClockBeforeMidnight(ProgramFixture& f) {
  const local_seconds start = local_days{2026y / December / 8} + 23h + 59min + 58s;
  f.program->SetClock([&f, start] { return start + floor<seconds>(milliseconds{f.loop.Now()}); });
}

// The texts of a journal's lines, each checked to begin with a timestamp of
// `day`; a terminal's address in brackets is kept in `terminals`.
Lines JournalTexts(const std::string& journal, const std::string& day, Lines& terminals) {
  static const std::regex stamped(R"((\d{4}-\d{2}-\d{2})T\d{2}:\d{2}:\d{2} (\[([^\]]+)\] )?(.*))");
  Lines texts;
  std::istringstream lines(journal);
  std::smatch parts;
  for (std::string line; std::getline(lines, line);) {
    EXPECT_TRUE(std::regex_match(line, parts, stamped)) << line;
    EXPECT_EQ(parts[1], day) << line;
    terminals.push_back(parts[3]);
    texts.push_back(parts[4]);
  }
  return texts;
}

// Runs a send cycle of three PLU records to 127.0.0.12, after a skipped 127.0.0.11.
void SendThreeRecords(ProgramFixture& f) {
  f.folder.Write("PLU-Down-Default.txt", PluFileLines(3));
  f.program->Terminals().SetEntries({{"127.0.0.11", false}, {"127.0.0.12", true}});
  f.program->HandleEvent([&] { f.program->Send(TickedSendOrder(*f.program)); });
  f.loop.Advance(3000);
  for (int record = 0; record < 3; ++record) EchoLastSent(f.link, f.loop);
  ASSERT_FALSE(f.program->CycleRunning());
}

TEST(DailyJournal, ACycleWritesItsLinesToTheJournalOfEachLinesDay) {
  ProgramFixture f(false);
  ClockBeforeMidnight(f);
  f.program->Start();
  SendThreeRecords(f);

  Lines terminals;
  const Lines before =
      JournalTexts(f.folder.Read("logs/Orlent-2026-12-08.log"), "2026-12-08", terminals);
  const Lines after =
      JournalTexts(f.folder.Read("logs/Orlent-2026-12-09.log"), "2026-12-09", terminals);
  EXPECT_FALSE(before.empty()) << "the cycle began before midnight";
  EXPECT_FALSE(after.empty()) << "the connect came after the pause, past midnight";
  Lines journalled = before;
  journalled.insert(journalled.end(), after.begin(), after.end());
  // The log as shown, the running count in its last form only, between the
  // run's first and last line; the window's caption is the program's own
  // line, not the cycle's.
  const Lines& log = f.program->Activity().Lines();
  ASSERT_EQ(log.front(), kWindowCaption);
  // Each terminal's block begins with the run's first line again.
  const std::string run = "Run: send, PLU, file " + f.program->DownloadFilePath() +
                          ", 1 terminal, 1 at once, started by window";
  Lines expectedLines = {run};
  for (auto line = log.begin() + 1; line != log.end(); ++line) {
    expectedLines.push_back(*line);
    if (line->empty() && line + 1 != log.end() && line[1] != "* End *")
      expectedLines.push_back(run);
  }
  expectedLines.push_back("Run ended: send, 1 terminal: 1 sent, 0 failed; 3 of 3 records stored");
  EXPECT_EQ(journalled, expectedLines);
  EXPECT_EQ(std::count(log.begin(), log.end(), "- Success to Send Plu (3)"), 1);
  EXPECT_EQ(log.back(), "* End *");
  // Each terminal's lines carry its address; the run's lines and the
  // cycle's own end none.
  Lines expected(journalled.size(), "127.0.0.12");
  expected[1] = expected[2] = expected[3] = "127.0.0.11";
  expected[0] = expected.end()[-3] = expected.end()[-2] = expected.end()[-1] = "";
  EXPECT_EQ(terminals, expected);
}

TEST(DailyJournal, AJournalThatCannotBeWrittenIsReportedOnceAndTheCycleCompletes) {
  ProgramFixture f(false);
  ClockBeforeMidnight(f);
  f.folder.Write("logs", "a file where the journals' folder should be");
  f.program->Start();
  SendThreeRecords(f);
  SendThreeRecords(f);

  const Lines& log = f.program->Activity().Lines();
  const std::string report =
      "- Journal not written: " + f.folder.File("logs/Orlent-2026-12-08.log") + ": Not a directory";
  EXPECT_EQ(std::count(log.begin(), log.end(), report), 1);
  EXPECT_EQ(std::count(log.begin(), log.end(), "* End *"), 2);
  EXPECT_EQ(std::count(log.begin(), log.end(), "- Complete Send Plu (Total : 3)"), 2);
  EXPECT_TRUE(f.view.errors.empty());
  EXPECT_TRUE(f.view.failures.empty());
}

// Each line goes out as it comes, whichever terminal it is of; a running
// count waits for its terminal's next line, so only its last form is kept.
TEST(DailyJournal, TerminalsAtOnceHaveTheirLinesWrittenAsTheyComeEachCountInItsLastForm) {
  TempFolder folder;
  {
    DailyJournal journal(folder.path(), [] { return local_days{2026y / December / 8} + 9h; });
    journal.Write("", "127.0.0.2");
    journal.Write("- Success Connect 127.0.0.2", "127.0.0.2");
    journal.Hold("- Success to Send Plu (1)", "127.0.0.2");
    journal.Write("", "127.0.0.3");
    journal.Hold("- Success to Send Plu (2)", "127.0.0.2");
    journal.Write("- Success Connect 127.0.0.3", "127.0.0.3");
    journal.Hold("- Success to Send Plu (1)", "127.0.0.3");
    journal.Write("- Complete Send Plu (Total : 2)", "127.0.0.2");
    journal.Hold("- Success to Send Plu (2)", "127.0.0.3");
  }
  EXPECT_EQ(folder.Read("Orlent-2026-12-08.log"),
            "2026-12-08T09:00:00 [127.0.0.2] \n"
            "2026-12-08T09:00:00 [127.0.0.2] - Success Connect 127.0.0.2\n"
            "2026-12-08T09:00:00 [127.0.0.3] \n"
            "2026-12-08T09:00:00 [127.0.0.3] - Success Connect 127.0.0.3\n"
            "2026-12-08T09:00:00 [127.0.0.2] - Success to Send Plu (2)\n"
            "2026-12-08T09:00:00 [127.0.0.2] - Complete Send Plu (Total : 2)\n"
            "2026-12-08T09:00:00 [127.0.0.3] - Success to Send Plu (2)\n");
}

// Only a regular file is written: a FIFO (with or without a reader), a
// folder or a symbolic link at the day's name is reported once, never
// waited on, and what a link points to stays as it was.
TEST(DailyJournal, AnythingButARegularFileAtTheDaysNameIsReportedOnceAndLeftAlone) {
  const std::string name = "Orlent-2026-12-08.log";
  const struct {
    const char* what;
    std::function<void(const TempFolder&)> make;
  } cases[] = {
      {"fifo read", [&](const TempFolder& f) { ASSERT_EQ(mkfifo(f.File(name).c_str(), 0600), 0); }},
      {"folder", [&](const TempFolder& f) { ASSERT_EQ(mkdir(f.File(name).c_str(), 0700), 0); }},
      {"link",
       [&](const TempFolder& f) {
         f.Write("elsewhere.txt", "kept\n");
         ASSERT_EQ(symlink(f.File("elsewhere.txt").c_str(), f.File(name).c_str()), 0);
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder folder;
    c.make(folder);
    // A reader that never reads: an open that waited for one would not.
    const int reader = std::string(c.what) == "fifo read"
                           ? open(folder.File(name).c_str(), O_RDONLY | O_NONBLOCK)
                           : -1;
    DailyJournal journal(folder.path(), [] { return local_days{2026y / December / 8} + 9h; });
    journal.Write("- Success Connect 127.0.0.2", "127.0.0.2");
    EXPECT_EQ(journal.TakeFailure(), folder.File(name) + ": not a regular file");
    journal.Write("- Success to Disconect 127.0.0.2", "127.0.0.2");
    EXPECT_EQ(journal.TakeFailure(), std::nullopt);
    if (reader >= 0) {
      char byte;
      EXPECT_EQ(read(reader, &byte, 1), 0) << "nothing was written to the FIFO";
      close(reader);
    }
    if (std::string(c.what) == "link") {
      EXPECT_EQ(folder.Read("elsewhere.txt"), "kept\n");
    }
  }
}

TEST(DailyJournal, OpeningTheDaysJournalRemovesJournalsMoreThan90DaysOld) {
  const struct {
    const char* name;
    bool kept;
  } files[] = {
      {"Orlent-2026-09-09.log", true},   // 90 days old
      {"Orlent-2026-09-08.log", false},  // 91 days old
      {"Orlent-2025-12-08.log", false},
      {"Orlent-2027-01-01.log", true},  // dated later: a clock that was set wrong
      {"orlent-2020-01-01.log", true},  // the names of other files
      {"Orlent-2020-01-01.txt", true},
      {"Orlent-2020-1-01.log", true},
      {"Orlent-2020-02-30.log", true},
      {"notes.txt", true},
  };
  TempFolder folder;
  for (const auto& file : files) folder.Write(file.name, "2020-01-01T10:00:00 - Line\n");
  {
    DailyJournal journal(folder.path(), [] { return local_days{2026y / December / 8} + 9h; });
    journal.Write("- Success Connect 127.0.0.2");
    EXPECT_EQ(journal.TakeFailure(), std::nullopt);
  }
  for (const auto& file : files) {
    EXPECT_EQ(std::filesystem::exists(folder.File(file.name)), file.kept) << file.name;
  }
  EXPECT_EQ(folder.Read("Orlent-2026-12-08.log"),
            "2026-12-08T09:00:00 - Success Connect 127.0.0.2\n");
}

}  // namespace
