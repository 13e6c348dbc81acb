// "Send to failed terminals": a send cycle over the entries that failed in the
// last one, with the list's own ticks left as they are.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/echo_answer.h"
#include "tests/support/program_fixture.h"

namespace {

using Lines = std::vector<std::string>;

// Four entries, three ticked, on a started program.
struct FourTerminals {
  FourTerminals() {
    f.folder.Write("PLU-Down-Default.txt", PluFileLines(1));
    program.Terminals().SetEntries(
        {{"127.0.0.11", true}, {"127.0.0.12", true}, {"127.0.0.13", false}, {"127.0.0.14", true}});
  }

  // A cycle in which 127.0.0.11 stores its record and the other two cannot be reached.
  void CycleWithTwoFailures() {
    program.HandleEvent([&] { program.Send(TickedSendOrder(program)); });
    f.loop.Advance(3000);
    EchoLastSent(f.link, f.loop);
    f.link.connectResult = 0;
    f.loop.Advance(6000);
    ASSERT_FALSE(program.CycleRunning());
    f.link.connectResult = 1;
  }

  std::vector<bool> Ticks() const {
    std::vector<bool> ticks;
    for (const auto& item : program.Terminals().Entries()) ticks.push_back(item.ticked);
    return ticks;
  }

  ProgramFixture f;
  Program& program = *f.program;
};

TEST(SendToFailedTerminals, ServesOnlyTheFailedEntriesAndKeepsTheTicks) {
  FourTerminals t;
  Program& program = t.program;
  t.CycleWithTwoFailures();
  const std::size_t logStart = program.Activity().Lines().size();
  program.HandleEvent([&] { program.SendToFailedTerminals(TickedSendOrder(program)); });
  EXPECT_TRUE(t.f.view.errors.empty());
  t.f.loop.Advance(3000);
  EchoLastSent(t.f.link, t.f.loop);
  t.f.loop.Advance(3000);
  EchoLastSent(t.f.link, t.f.loop);
  EXPECT_FALSE(program.CycleRunning());

  const Lines log(program.Activity().Lines().begin() + logStart, program.Activity().Lines().end());
  EXPECT_EQ(log, (Lines{"", "- Skip Connect 127.0.0.11", "", "- Success Connect 127.0.0.12",
                        "- Success to Send Plu (1)", "- Complete Send Plu (Total : 1)",
                        "- Success to Disconect 127.0.0.12", "", "- Skip Connect 127.0.0.13", "",
                        "- Success Connect 127.0.0.14", "- Success to Send Plu (1)",
                        "- Complete Send Plu (Total : 1)", "- Success to Disconect 127.0.0.14", "",
                        "* End *"}));
  EXPECT_EQ(t.Ticks(), (std::vector<bool>{true, true, false, true}));
  const std::vector<TerminalState> states = program.CycleStates();
  ASSERT_EQ(states.size(), 2u);
  for (const TerminalState& state : states) EXPECT_TRUE(state.Done()) << state.address;
}

TEST(SendToFailedTerminals, IsRefusedWithTheSendTextsWhenItCannotRun) {
  struct Case {
    const char* name;
    void (*before)(FourTerminals&);
    const char* error;
  };
  const Case cases[] = {
      {"before any cycle", [](FourTerminals&) {}, "No Terminal To Send !"},
      {"after a cycle where all went well",
       [](FourTerminals& t) {
         t.program.Terminals().SetEntries({{"127.0.0.11", true}});
         t.program.HandleEvent([&] { t.program.Send(TickedSendOrder(t.program)); });
         t.f.loop.Advance(3000);
         EchoLastSent(t.f.link, t.f.loop);
       },
       "No Terminal To Send !"},
      {"while a cycle runs",
       [](FourTerminals& t) {
         t.CycleWithTwoFailures();
         t.program.HandleEvent([&] { t.program.Send(TickedSendOrder(t.program)); });
       },
       "Send Data Is Running !"},
      {"after the failed entries were edited",
       [](FourTerminals& t) {
         t.CycleWithTwoFailures();
         t.program.Terminals().Readdress(1, "127.0.0.22");
         t.program.Terminals().Readdress(3, "127.0.0.24");
       },
       "No Terminal To Send !"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FourTerminals t;
    c.before(t);
    t.f.view.errors.clear();
    const std::size_t sent = t.f.link.sent.size();
    const bool running = t.program.CycleRunning();
    t.program.HandleEvent([&] { t.program.SendToFailedTerminals(TickedSendOrder(t.program)); });
    EXPECT_EQ(t.f.view.errors, Lines{c.error});
    // Nothing of a cycle was started: no further terminal is dialled.
    if (!running) {
      t.f.loop.Advance(60000);
      EXPECT_EQ(t.f.link.sent.size(), sent);
      EXPECT_FALSE(t.program.CycleRunning());
    }
  }
}

}  // namespace
