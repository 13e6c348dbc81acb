// The daily journal: a send cycle's lines in the journal of each line's day,
// a journal that cannot be written, and the removal of old journals.
#include "model/journal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
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
  f.program->LocalTime = [&f, start] { return start + floor<seconds>(milliseconds{f.loop.Now()}); };
}

// The texts of a journal's lines, each checked to begin with a timestamp of `day`.
Lines JournalTexts(const std::string& journal, const std::string& day) {
  static const std::regex stamped(R"((\d{4}-\d{2}-\d{2})T\d{2}:\d{2}:\d{2} (.*))");
  Lines texts;
  std::istringstream lines(journal);
  std::smatch parts;
  for (std::string line; std::getline(lines, line);) {
    EXPECT_TRUE(std::regex_match(line, parts, stamped)) << line;
    EXPECT_EQ(parts[1], day) << line;
    texts.push_back(parts[2]);
  }
  return texts;
}

// Runs a send cycle of three PLU records to 127.0.0.12, after a skipped 127.0.0.11.
void SendThreeRecords(ProgramFixture& f) {
  f.folder.Write("PLU-Down-Default.txt", PluFileLines(3));
  f.program->TerminalList.Items = {{"127.0.0.11", false}, {"127.0.0.12", true}};
  f.program->HandleEvent([&] { f.program->SendToTickedTerminals(); });
  f.loop.Advance(3000);
  for (int record = 0; record < 3; ++record) EchoLastSent(f.link, f.loop);
  ASSERT_FALSE(f.program->CycleRunning());
}

TEST(DailyJournal, ACycleWritesItsLinesToTheJournalOfEachLinesDay) {
  ProgramFixture f(false);
  ClockBeforeMidnight(f);
  f.program->Start();
  SendThreeRecords(f);

  const Lines before = JournalTexts(f.folder.Read("logs/Orlent-2026-12-08.log"), "2026-12-08");
  const Lines after = JournalTexts(f.folder.Read("logs/Orlent-2026-12-09.log"), "2026-12-09");
  EXPECT_FALSE(before.empty()) << "the cycle began before midnight";
  EXPECT_FALSE(after.empty()) << "the connect came after the pause, past midnight";
  Lines journalled = before;
  journalled.insert(journalled.end(), after.begin(), after.end());
  // The log as shown, the running count in its last form only; the window's
  // caption is the program's own line, not the cycle's.
  const Lines& log = f.program->ActivityLog.Items;
  ASSERT_EQ(log.front(), kWindowCaption);
  EXPECT_EQ(journalled, Lines(log.begin() + 1, log.end()));
  EXPECT_EQ(std::count(log.begin(), log.end(), "- Success to Send Plu (3)"), 1);
  EXPECT_EQ(log.back(), "* End *");
}

TEST(DailyJournal, AJournalThatCannotBeWrittenIsReportedOnceAndTheCycleCompletes) {
  ProgramFixture f(false);
  ClockBeforeMidnight(f);
  f.folder.Write("logs", "a file where the journals' folder should be");
  f.program->Start();
  SendThreeRecords(f);
  SendThreeRecords(f);

  const Lines& log = f.program->ActivityLog.Items;
  const std::string report =
      "- Journal not written: " + f.folder.File("logs/Orlent-2026-12-08.log") + ": Not a directory";
  EXPECT_EQ(std::count(log.begin(), log.end(), report), 1);
  EXPECT_EQ(std::count(log.begin(), log.end(), "* End *"), 2);
  EXPECT_EQ(std::count(log.begin(), log.end(), "- Complete Send Plu (Total : 3)"), 2);
  EXPECT_TRUE(f.view.errors.empty());
  EXPECT_TRUE(f.view.failures.empty());
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
