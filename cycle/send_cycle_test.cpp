#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/folder_lock.h"
#include "tests/support/echo_answer.h"
#include "tests/support/program_fixture.h"

namespace {

using Lines = std::vector<std::string>;

class SendCycleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    f.folder.Write("PLU-Down-Default.txt", PluFileLines(2));
    logStart = program.Activity().Lines().size();
  }

  void SetTerminals(const std::vector<TerminalEntry>& items) {
    program.Terminals().SetEntries(items);
  }

  // What the cycle logged since the test began.
  Lines Log() const {
    return Lines(program.Activity().Lines().begin() + logStart, program.Activity().Lines().end());
  }

  int Connects() const {
    int n = 0;
    for (const auto& call : f.link.calls) n += call.name == "Connect";
    return n;
  }

  // Lets the terminal now connected acknowledge the two PLU records.
  void AcknowledgeDownload() {
    EchoLastSent(f.link, f.loop);
    EchoLastSent(f.link, f.loop);
  }

  void Press() {
    program.HandleEvent([&] { program.Send(TickedSendOrder(program)); });
  }

  ProgramFixture f;
  Program& program = *f.program;
  std::size_t logStart = 0;
};

std::vector<TerminalEntry> FiveWithTicksAt2And4() {
  return {{"127.0.0.11", false},
          {"127.0.0.12", true},
          {"127.0.0.13", false},
          {"127.0.0.14", true},
          {"127.0.0.15", false}};
}

TEST_F(SendCycleTest, ServesTheTickedTerminalsInListOrderWithThePauseBeforeEachConnect) {
  SetTerminals(FiveWithTicksAt2And4());
  Press();
  EXPECT_TRUE(program.CycleRunning());
  EXPECT_EQ(Log(), (Lines{"", "- Skip Connect 127.0.0.11"}));
  EXPECT_EQ(program.ServedAddress(), "127.0.0.12");

  f.loop.Advance(2999);
  EXPECT_EQ(Connects(), 0) << "the first connect waits 3000 ms";
  f.loop.Advance(1);
  EXPECT_EQ(Connects(), 1);
  AcknowledgeDownload();
  EXPECT_EQ(program.ServedAddress(), "127.0.0.14");

  f.loop.Advance(2999);
  EXPECT_EQ(Connects(), 1);
  f.loop.Advance(1);
  EXPECT_EQ(Connects(), 2);
  AcknowledgeDownload();

  EXPECT_EQ(Log(), (Lines{"", "- Skip Connect 127.0.0.11", "", "- Success Connect 127.0.0.12",
                          "- Success to Send Plu (2)", "- Complete Send Plu (Total : 2)",
                          "- Success to Disconect 127.0.0.12", "", "- Skip Connect 127.0.0.13", "",
                          "- Success Connect 127.0.0.14", "- Success to Send Plu (2)",
                          "- Complete Send Plu (Total : 2)", "- Success to Disconect 127.0.0.14",
                          "", "- Skip Connect 127.0.0.15", "", "* End *"}));
  EXPECT_FALSE(program.CycleRunning());
  EXPECT_FALSE(f.loop.Armed(TimerKind::Pause));
  EXPECT_FALSE(f.loop.Armed(TimerKind::AnswerTimeout));
  EXPECT_TRUE(f.view.errors.empty());
  EXPECT_TRUE(f.view.failures.empty());
}

TEST_F(SendCycleTest, OnlyTheLastEntryTickedEndsRightAfterItsDisconnect) {
  SetTerminals({{"127.0.0.11", false}, {"127.0.0.12", true}});
  Press();
  f.loop.Advance(3000);
  AcknowledgeDownload();
  const Lines log = Log();
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ(Lines(log.end() - 3, log.end()),
            (Lines{"- Success to Disconect 127.0.0.12", "", "* End *"}));
}

TEST_F(SendCycleTest, AFailedConnectMovesOnAtOnce) {
  SetTerminals({{"127.0.0.11", true}, {"127.0.0.12", false}, {"127.0.0.13", true}});
  f.link.connectResult = 0;
  Press();
  f.loop.Advance(3000);
  EXPECT_EQ(Log(), (Lines{"", "- Fail Connect 127.0.0.11", "", "- Skip Connect 127.0.0.12"}));
  EXPECT_EQ(program.ServedAddress(), "127.0.0.13");
  EXPECT_EQ(f.loop.DueAt(TimerKind::Pause), f.loop.Now() + 3000);
  EXPECT_TRUE(f.link.sent.empty());

  f.loop.Advance(3000);
  EXPECT_EQ(Log().back(), "* End *");
  EXPECT_EQ(Connects(), 2);
  EXPECT_FALSE(program.CycleRunning());
}

TEST_F(SendCycleTest, RefusesToStartWithoutATickedTerminal) {
  for (const auto& items :
       {std::vector<TerminalEntry>{}, std::vector<TerminalEntry>{{"127.0.0.11", false}}}) {
    SetTerminals(items);
    program.Serve("127.0.0.99");
    Press();
    EXPECT_EQ(f.view.errors.back(), "No Terminal To Send !");
    EXPECT_FALSE(program.CycleRunning());
    EXPECT_EQ(program.ServedAddress(), "127.0.0.99");
    EXPECT_FALSE(f.loop.Armed(TimerKind::Pause));
    EXPECT_TRUE(Log().empty());
  }
}

TEST_F(SendCycleTest, ASecondPressWhileACycleRunsIsRefusedAndTheCycleGoesOn) {
  SetTerminals(FiveWithTicksAt2And4());
  Press();
  f.loop.Advance(1000);
  const int64_t due = f.loop.DueAt(TimerKind::Pause);
  Press();
  EXPECT_EQ(f.view.errors, Lines{"Send Data Is Running !"});
  EXPECT_EQ(program.ServedAddress(), "127.0.0.12");
  EXPECT_EQ(f.loop.DueAt(TimerKind::Pause), due);
  EXPECT_EQ(Log(), (Lines{"", "- Skip Connect 127.0.0.11"}));

  f.loop.Advance(2000);  // also refused while a transfer runs
  Press();
  EXPECT_EQ(f.view.errors.size(), 2u);
  AcknowledgeDownload();
  f.loop.Advance(3000);
  AcknowledgeDownload();
  EXPECT_EQ(Log().back(), "* End *");
  EXPECT_EQ(Connects(), 2);

  Press();  // a new cycle once the first has ended
  EXPECT_TRUE(program.CycleRunning());
  EXPECT_EQ(f.view.errors.size(), 2u);
}

TEST_F(SendCycleTest, ThePauseBeforeEachConnectIsTheProgramsPause) {
  SetTerminals({{"127.0.0.11", true}, {"127.0.0.12", true}});
  ChangeCycleOptions(program, std::nullopt, 500, std::nullopt);
  Press();
  EXPECT_EQ(f.loop.DueAt(TimerKind::Pause), 500);
  f.loop.Advance(500);
  EXPECT_EQ(Connects(), 1);
  AcknowledgeDownload();
  EXPECT_EQ(f.loop.DueAt(TimerKind::Pause), f.loop.Now() + 500);
}

TEST_F(SendCycleTest, ANonNumericPortIsRefusedBeforeTheCycleStartsSoItCanBeStartedAgain) {
  SetTerminals(FiveWithTicksAt2And4());
  program.Terminals().SetPort("20404x");
  Press();
  f.loop.Advance(3000);
  EXPECT_EQ(f.view.errors, Lines{"The port '20404x' is not a number from 1 to 65535 !"});
  EXPECT_EQ(Connects(), 0);
  EXPECT_EQ(Log(), Lines{}) << "nothing is logged";
  EXPECT_FALSE(program.CycleRunning());

  program.Terminals().SetPort("20404");
  Press();
  EXPECT_EQ(f.view.errors.size(), 1u);
  f.loop.Advance(3000);
  EXPECT_EQ(Connects(), 1);
}

TEST_F(SendCycleTest, RetryAndIntervalTextsAreCheckedBeforeThePort) {
  program.Serve("127.0.0.11");
  program.SetConnectAttempts("5 s", "three");
  program.Terminals().SetPort("port");
  program.HandleEvent([&] { program.Connect(ServedOrder(program)); });
  program.SetConnectAttempts("5 s", "3");
  program.HandleEvent([&] { program.Connect(ServedOrder(program)); });
  EXPECT_EQ(f.view.failures,
            (Lines{"'three' is not a valid integer value", "'5 s' is not a valid integer value"}));
  EXPECT_EQ(Connects(), 0);
}

TEST_F(SendCycleTest, EachTerminalsSessionReportsItsPhases) {
  using P = SessionPhase;
  struct Case {
    const char* name;
    int connectResult;
    bool inUse;  // another Orlent process serves the terminal
    std::vector<P> phases;
  };
  const Case cases[] = {
      {"sent",
       1,
       false,
       {P::Pausing, P::Connecting, P::Connected, P::Transferring, P::Disconnected}},
      {"connect failed", 0, false, {P::Pausing, P::Connecting, P::NotConnected}},
      {"in use", 1, true, {P::Pausing, P::NotConnected}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    f.view.phases.clear();
    f.link.connectResult = c.connectResult;
    FolderLock other(f.folder.File("Orlent.ini.lock"));
    if (c.inUse) {
      ASSERT_TRUE(other.LockTerminal("127.0.0.11"));
    }
    SetTerminals({{"127.0.0.11", true}, {"127.0.0.12", false}});
    Press();
    f.loop.Advance(3000);
    if (c.connectResult && !c.inUse) AcknowledgeDownload();
    EXPECT_FALSE(program.CycleRunning());
    std::vector<P> phases;
    for (const auto& [address, phase] : f.view.phases) {
      EXPECT_EQ(address, "127.0.0.11");
      phases.push_back(phase);
    }
    EXPECT_EQ(phases, c.phases);
  }
}

}  // namespace
