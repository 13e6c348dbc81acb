// Orders: an order's own options resolved and checked, the refusals every
// cycle's order passes, and options that hold for one order and are never saved.
#include "model/orders.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "records/records.h"
#include "tests/support/echo_answer.h"
#include "tests/support/program_fixture.h"

namespace {

using Lines = std::vector<std::string>;

TEST(OrderOptions, EachOptionGivenTakesThePlaceOfTheOneInForceAndOneOutOfRangeIsNamed) {
  const CycleOptions inForce{4, 3000, 10000};
  const struct {
    OrderOptions given;
    CycleOptions used;
    std::string fault;
  } cases[] = {
      {{}, {4, 3000, 10000}, ""},
      {{2, std::nullopt, std::nullopt, std::nullopt}, {2, 3000, 10000}, ""},
      {{std::nullopt, 0, 1, std::nullopt}, {4, 0, 1}, ""},
      {{64, 600000, 3600000, std::nullopt}, {64, 600000, 3600000}, ""},
      {{0, std::nullopt, std::nullopt, std::nullopt},
       {0, 3000, 10000},
       "TerminalParallel must be a number from 1 to 64"},
      {{65, -1, std::nullopt, std::nullopt},
       {65, -1, 10000},
       "TerminalParallel must be a number from 1 to 64"},
      {{std::nullopt, 600001, std::nullopt, std::nullopt},
       {4, 600001, 10000},
       "TerminalPause must be a number from 0 to 600000"},
      {{std::nullopt, std::nullopt, 0, std::nullopt},
       {4, 3000, 0},
       "TerminalAnswerTimeout must be a number from 1 to 3600000"},
  };
  for (const auto& c : cases) {
    const CycleOptions used = Resolved(c.given, inForce);
    EXPECT_EQ(used.parallel, c.used.parallel) << c.fault;
    EXPECT_EQ(used.pauseMs, c.used.pauseMs) << c.fault;
    EXPECT_EQ(used.answerTimeoutMs, c.used.answerTimeoutMs) << c.fault;
    EXPECT_EQ(OutOfRange(c.given), c.fault);
  }
  const CodePage inForcePage;
  const auto cyrillic = CodePage::Named("windows-1251");
  ASSERT_TRUE(cyrillic);
  EXPECT_EQ(Resolved(OrderOptions{}, inForcePage).Name(), inForcePage.Name());
  EXPECT_EQ(Resolved(OrderOptions{{}, {}, {}, cyrillic}, inForcePage).Name(), "windows-1251");
}

// Each cycle's order is refused before any terminal is contacted, with its error box.
TEST(Orders, ACyclesOrderIsRefusedBeforeAnyTerminalIsContacted) {
  const std::vector<CycleEntry> ticked{{"127.0.0.2", false}, {"127.0.0.3", true}};
  const std::vector<CycleEntry> none{{"127.0.0.2", false}};
  const OrderOptions slow{std::nullopt, std::nullopt, 0, std::nullopt};
  const struct {
    const char* name;
    std::function<void(Program&, const std::string& file)> order;
    std::string refusal;
  } cases[] = {
      {"send to none",
       [&](Program& p, auto& file) {
         p.Send({DataKind::Plu, file, none, {}});
       },
       "No Terminal To Send !"},
      {"send with an option out of range",
       [&](Program& p, auto& file) {
         p.Send({DataKind::Plu, file, ticked, slow});
       },
       "TerminalAnswerTimeout must be a number from 1 to 3600000"},
      {"send of a missing file",
       [&](Program& p, auto& file) {
         p.Send({DataKind::Plu, file + ".gone", ticked, {}});
       },
       ""},
      {"verify of none",
       [&](Program& p, auto& file) {
         p.Verify({DataKind::Plu, file, none, {}});
       },
       "No Terminal To Verify !"},
      {"verify of the reports",
       [&](Program& p, auto& file) {
         p.Verify({DataKind::Report, file, ticked, {}});
       },
       "Nothing To Verify !"},
      {"receive with an option out of range",
       [&](Program& p, auto&) {
         p.ReceiveFromTerminals({ReceiveOrder::From::Ticked, kCodePlu, "", {0, {}, {}, {}}});
       },
       "TerminalParallel must be a number from 1 to 64"},
      {"download with an option out of range",
       [&](Program& p, auto& file) {
         p.Download({"127.0.0.3", DataKind::Plu, file, {std::nullopt, -5, {}, {}}});
       },
       "TerminalPause must be a number from 0 to 600000"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ProgramFixture f;
    f.folder.Write("PLU-Down.txt", PluFileLines(1));
    f.program->Terminals().SetEntries({{"127.0.0.3", true}});
    f.link.calls.clear();  // start-up's registrations
    f.program->HandleEvent([&] { c.order(*f.program, f.folder.File("PLU-Down.txt")); });
    EXPECT_FALSE(f.program->CycleRunning());
    ASSERT_EQ(f.view.errors.size(), 1u);
    if (!c.refusal.empty()) {
      EXPECT_EQ(f.view.errors.front(), c.refusal);
    }
    f.loop.Advance(60000);
    EXPECT_TRUE(f.link.sent.empty());
    EXPECT_EQ(f.link.CallNames(), Lines{}) << "no call of the link";
  }
}

TEST(Orders, AnOrdersOptionsHoldForThatOrderAloneAndAreNeverSaved) {
  ProgramFixture f;
  f.folder.Write("PLU-Down-Default.txt", PluFileLines(1));
  f.program->Terminals().SetEntries({{"127.0.0.3", true}});
  f.program->Close();
  const std::string saved = f.folder.Read("Orlent.ini");
  f.program->Start();
  f.link.calls.clear();
  SendOrder order = TickedSendOrder(*f.program);
  order.options.pauseMs = 700;
  f.program->HandleEvent([&] { f.program->Send(order); });
  ASSERT_TRUE(f.program->CycleRunning());
  EXPECT_EQ(f.loop.DueAt(TimerKind::Pause), 700);
  EXPECT_EQ(f.program->CycleOptionsInForce().pauseMs, kPauseKey.absent);
  f.program->StopCycle();
  f.loop.Advance(60000);
  ASSERT_FALSE(f.program->CycleRunning());
  // The next order without options of its own pauses as the settings file says.
  f.program->HandleEvent([&] { f.program->Send(TickedSendOrder(*f.program)); });
  EXPECT_EQ(f.loop.DueAt(TimerKind::Pause), f.loop.Now() + kPauseKey.absent);
  f.program->StopCycle();
  f.loop.Advance(60000);
  f.program->Close();
  EXPECT_EQ(f.folder.Read("Orlent.ini"), saved);
}

}  // namespace
