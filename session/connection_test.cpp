#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/support/echo_answer.h"
#include "tests/support/program_fixture.h"
#include "text/terminal_port.h"

namespace {

using Lines = std::vector<std::string>;

class Connection : public ::testing::Test {
 protected:
  void SetUp() override {
    program.Serve("127.0.0.21");
    logStart = program.Activity().Lines().size();
  }
  // Starts a send cycle over `terminals` and runs it until the first ticked
  // one is connected and sent its first record; the log is read from there.
  void StartCycle(std::vector<TerminalEntry> terminals) {
    f.folder.Write("PLU-Down-Default.txt", PluFileLines(2));
    program.Terminals().SetEntries(std::move(terminals));
    program.HandleEvent([&] { program.Send(TickedSendOrder(program)); });
    f.loop.Advance(program.CycleOptionsInForce().pauseMs);
    ASSERT_EQ(f.link.sent.size(), 1u);
    logStart = program.Activity().Lines().size();
  }
  Lines Log() const {
    return Lines(program.Activity().Lines().begin() + logStart, program.Activity().Lines().end());
  }

  ProgramFixture f;
  Program& program = *f.program;
  std::size_t logStart = 0;
};

TEST_F(Connection, SetsUpTheConnectionWithTheTextsOfTheHiddenFields) {
  program.Terminals().SetPort("20404");
  program.SetConnectAttempts("250", "-1");
  program.Connect(ServedOrder(program));
  ASSERT_GE(f.link.calls.size(), 2u);
  const FakeCall& setup = f.link.calls[f.link.calls.size() - 2];
  EXPECT_EQ(setup.name, "AddProcConnectionEx");
  EXPECT_EQ(setup.numbers, (std::vector<int>{1, 20404, 100, 5010, 250, -1, 9}));
  EXPECT_EQ(setup.texts, Lines{"127.0.0.21"});
  EXPECT_EQ(f.link.calls.back().name, "Connect");
  EXPECT_EQ(f.link.calls.back().numbers, std::vector<int>{-1});
}

TEST_F(Connection, APortThatIsNotADecimalFrom1To65535IsRefusedBeforeTheLibrary) {
  const std::size_t callsBefore = f.link.calls.size();
  for (const char* port : {"  0x4FB4", "0", "-5", "70000", "abc", ""}) {
    program.Terminals().SetPort(port);
    f.view.failures.clear();
    program.HandleEvent([&] { program.Connect(ServedOrder(program)); });
    EXPECT_EQ(f.view.failures, Lines{BadPortMessage(port)}) << "'" << port << "'";
  }
  EXPECT_EQ(f.link.calls.size(), callsBefore);
  EXPECT_EQ(Log(), Lines{});
}

TEST_F(Connection, OutsideACycleConnectAndDisconnectOnlyLog) {
  program.Connect(ServedOrder(program));
  f.loop.RunPending();  // the connect's result comes back through the loop
  program.Disconnect(ServedOrder(program));
  f.link.connectResult = 0;
  f.link.disconnectResult = 0;
  program.Connect(ServedOrder(program));
  f.loop.RunPending();
  program.Disconnect(ServedOrder(program));
  EXPECT_EQ(Log(), (Lines{"", "- Success Connect 127.0.0.21", "- Success to Disconect 127.0.0.21",
                          "", "- Fail Connect 127.0.0.21", "- Fail to Disconnect 127.0.0.21"}));
  EXPECT_TRUE(f.link.sent.empty()) << "no download outside a cycle";
  EXPECT_FALSE(f.loop.Armed(TimerKind::Pause));
}

TEST_F(Connection, DisconnectClosesTheUploadFile) {
  program.ChooseDataKind(DataKind::Speedkey);  // an upload that asks for nothing
  program.ChooseUploadFile(f.folder.File("open.txt"));
  program.Upload(ServedUploadOrder(program));
  ASSERT_NE(program.Served()->OpenUploadFile(), nullptr);
  program.Disconnect(ServedOrder(program));
  EXPECT_EQ(program.Served()->OpenUploadFile(), nullptr);
}

TEST_F(Connection, AFailedDisconnectInACycleStillMovesOn) {
  StartCycle({{"127.0.0.21", true}, {"127.0.0.22", true}});
  f.link.disconnectResult = 0;
  program.Disconnect(ServedOrder(program));
  EXPECT_EQ(Log(), Lines{"- Fail to Disconnect 127.0.0.21"});
  EXPECT_EQ(program.ServedAddress(), "127.0.0.22");
  EXPECT_TRUE(f.loop.Armed(TimerKind::Pause));
}

TEST_F(Connection, AfterACycleHasEndedTheDisconnectActionStartsNothing) {
  StartCycle({{"127.0.0.21", true}});
  program.Disconnect(ServedOrder(program));
  EXPECT_EQ(Log(), (Lines{"- Success to Disconect 127.0.0.21", "", "* End *"}));
  EXPECT_FALSE(program.CycleRunning());
  program.Disconnect(ServedOrder(program));  // nothing is connected any more
  EXPECT_EQ(Log().back(), "- Fail to Disconnect 127.0.0.21");
  EXPECT_EQ(Log().size(), 4u);
  EXPECT_FALSE(f.loop.Armed(TimerKind::Pause));
}

}  // namespace
