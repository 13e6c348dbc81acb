// "Receive…" in the core: each terminal's file is named by kind, address and
// the program's local date, takes the next free name when one exists, and a
// complete report is handed to the view; a receive with no terminal to
// receive from is refused before anything is made.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "records/records.h"
#include "tests/support/echo_answer.h"
#include "tests/support/program_fixture.h"

namespace {

namespace chr = std::chrono;

// The terminal answers its first request with a record and then ends the
// upload with the "99" status.
void AnswerOneRecordThenEnd(ProgramFixture& f, uint8_t code) {
  if (code == kCodePlu) {
    PluRecord record{};
    record.PluNo = 7;
    std::strcpy(record.Text, "Apples");
    Answer(f.link, f.loop, code, kDirectionRead, record);
    record.PluNo = 0;
    std::strcpy(record.Text, "END: 99 No more records");
    Answer(f.link, f.loop, code, kDirectionRead, record);
  } else {
    ReportTotalRecord record{};
    record.Number = 0;
    record.Value1 = 4321;
    Answer(f.link, f.loop, code, kDirectionRead, record);
    record.Number = 0;  // the end is told in a record numbered 0
    std::strcpy(record.Text, "END: 99 No more records");
    Answer(f.link, f.loop, code, kDirectionRead, record);
  }
}

struct Case {
  const char* name;
  uint8_t code;
  ReceiveOrder::From from;
  std::vector<std::string> existing;  // files the folder holds before
  std::string made;                   // the file the receive makes; empty: none
  std::string refusal;                // the error box; empty: none
};

const std::string kPlu = "PLU_127.0.0.2_2026-12-08";
const std::string kTime = "Report-Time_127.0.0.2_2026-12-08";

const Case kCases[] = {
    {"first of the day", kCodePlu, ReceiveOrder::From::Ticked, {}, kPlu + ".txt", ""},
    {"second of the day",
     kCodeReportTime,
     ReceiveOrder::From::Ticked,
     {kTime + ".txt"},
     kTime + "_2.txt",
     ""},
    {"third of the day",
     kCodePlu,
     ReceiveOrder::From::Selected,
     {kPlu + ".txt", kPlu + "_2.txt"},
     kPlu + "_3.txt",
     ""},
    {"no entry selected",
     kCodePlu,
     ReceiveOrder::From::Selected,
     {},
     "",
     "No Terminal To Receive From !"},
};

TEST(ReceiveCommand, EachTerminalsFileIsNamedByKindAddressAndDateAndNeverOverwritten) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    ProgramFixture f;
    Program& program = *f.program;
    program.SetClock([] {
      return chr::local_days{chr::year{2026} / 12 / 8} + chr::hours{23} + chr::minutes{59};
    });
    program.Terminals().SetEntries({{"127.0.0.3", false}, {"127.0.0.2", true}});
    if (c.from == ReceiveOrder::From::Selected && c.refusal.empty()) {
      program.Terminals().Tick(1, false);
      program.Terminals().Select(1);
    }
    const std::string folder = f.folder.File("in");
    std::filesystem::create_directory(folder);
    for (const auto& name : c.existing) f.folder.Write("in/" + name, "kept " + name);

    program.HandleEvent([&] { program.ReceiveFromTerminals({c.from, c.code, folder, {}}); });
    EXPECT_EQ(f.view.errors,
              c.refusal.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.refusal});
    if (!c.refusal.empty()) {
      EXPECT_FALSE(program.CycleRunning());
      continue;
    }
    f.loop.Advance(program.CycleOptionsInForce().pauseMs);
    f.loop.RunPending();
    ASSERT_FALSE(f.link.sent.empty());
    EXPECT_EQ(f.link.sent.back().packet.Code, c.code);
    AnswerOneRecordThenEnd(f, c.code);

    EXPECT_FALSE(program.CycleRunning());
    EXPECT_EQ(program.Activity().Lines().back(), "* End *");
    const std::string made = f.folder.Read("in/" + c.made);
    EXPECT_NE(made.find(c.code == kCodePlu ? "Apples" : "4321"), std::string::npos) << made;
    for (const auto& name : c.existing) EXPECT_EQ(f.folder.Read("in/" + name), "kept " + name);
    const auto states = program.CycleStates();
    ASSERT_EQ(states.size(), 1u);
    EXPECT_TRUE(states[0].Done());
    EXPECT_EQ(states[0].stored, 1u) << "one record received";
    const bool report = c.code != kCodePlu;
    EXPECT_EQ(f.view.reports.size(), report ? 1u : 0u);
    if (report && !f.view.reports.empty()) {
      EXPECT_EQ(f.view.reports[0].first, folder + "/" + c.made);
      EXPECT_EQ(f.view.reports[0].second, c.code);
    }
  }
}

}  // namespace

namespace {

// "Send to Failed" after a receive reads the failed terminals again, in the
// same way, instead of sending them a download file.
TEST(ReceiveCommand, SendToFailedAfterAReceiveReceivesAgainFromTheFailedTerminals) {
  ProgramFixture f;
  Program& program = *f.program;
  program.Terminals().SetEntries({{"127.0.0.2", true}, {"127.0.0.3", true}});
  f.link.unreachable = {"127.0.0.2"};
  const std::string folder = f.folder.File("in");
  program.HandleEvent([&] {
    program.ReceiveFromTerminals({ReceiveOrder::From::Ticked, kCodePlu, folder, {}});
  });
  f.loop.Advance(program.CycleOptionsInForce().pauseMs);  // 127.0.0.2 fails to connect
  f.loop.Advance(program.CycleOptionsInForce().pauseMs);
  f.loop.RunPending();
  AnswerOneRecordThenEnd(f, kCodePlu);
  ASSERT_FALSE(program.CycleRunning());
  const auto states = program.CycleStates();
  ASSERT_EQ(states.size(), 2u);
  EXPECT_EQ(states[0].failure, "connect failed");
  EXPECT_TRUE(states[1].Done());

  f.link.unreachable.clear();
  f.link.sent.clear();
  program.HandleEvent([&] { program.SendToFailedTerminals(TickedSendOrder(program)); });
  EXPECT_TRUE(f.view.errors.empty()) << f.view.errors.front();
  f.loop.Advance(program.CycleOptionsInForce().pauseMs);
  f.loop.RunPending();
  ASSERT_EQ(f.link.sent.size(), 1u);
  EXPECT_EQ(f.link.sent[0].address, "127.0.0.2");
  EXPECT_EQ(f.link.sent[0].packet.Code, kCodePlu);
  EXPECT_EQ(f.link.sent[0].packet.Direction, kDirectionRead);
}

}  // namespace
