#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/answer_router.h"
#include "session/upload_file.h"
#include "tests/support/program_fixture.h"
#include "text/terminal_port.h"

namespace {

using Lines = std::vector<std::string>;

class Connection : public ::testing::Test {
 protected:
  void SetUp() override {
    program.ServedAddress.Text = "127.0.0.21";
    logStart = program.ActivityLog.Items.size();
  }
  Lines Log() const {
    return Lines(program.ActivityLog.Items.begin() + logStart, program.ActivityLog.Items.end());
  }

  ProgramFixture f;
  Program& program = *f.program;
  std::size_t logStart = 0;
};

TEST_F(Connection, SetsUpTheConnectionWithTheTextsOfTheHiddenFields) {
  program.PortBox.Text = "20404";
  program.ConnectInterval.Text = "250";
  program.ConnectRetry.Text = "-1";
  program.Connect();
  ASSERT_GE(f.link.calls.size(), 2u);
  const FakeCall& setup = f.link.calls[f.link.calls.size() - 2];
  EXPECT_EQ(setup.name, "AddProcConnection");
  EXPECT_EQ(setup.numbers, (std::vector<int>{1, 20404, 100, 5010, 250, -1, 9}));
  EXPECT_EQ(setup.texts, Lines{"127.0.0.21"});
  EXPECT_EQ(f.link.dataCallback, &DataCallback);
  EXPECT_EQ(f.link.secondCallback, &SecondCallback);
  EXPECT_EQ(f.link.calls.back().name, "Connect");
  EXPECT_EQ(f.link.calls.back().numbers, std::vector<int>{-1});
}

TEST_F(Connection, APortThatIsNotADecimalFrom1To65535IsRefusedBeforeTheLibrary) {
  const std::size_t callsBefore = f.link.calls.size();
  for (const char* port : {"  0x4FB4", "0", "-5", "70000", "abc", ""}) {
    program.PortBox.Text = port;
    f.view.failures.clear();
    program.HandleEvent([&] { program.Connect(); });
    EXPECT_EQ(f.view.failures, Lines{BadPortMessage(port)}) << "'" << port << "'";
  }
  EXPECT_EQ(f.link.calls.size(), callsBefore);
  EXPECT_EQ(Log(), Lines{});
}

TEST_F(Connection, OutsideACycleConnectAndDisconnectOnlyLog) {
  program.Connect();
  program.Disconnect();
  f.link.connectResult = 0;
  f.link.disconnectResult = 0;
  program.Connect();
  program.Disconnect();
  EXPECT_EQ(Log(), (Lines{"", "- Success Connect 127.0.0.21", "- Success to Disconect 127.0.0.21",
                          "", "- Fail Connect 127.0.0.21", "- Fail to Disconnect 127.0.0.21"}));
  EXPECT_TRUE(f.link.sent.empty()) << "no download outside a cycle";
  EXPECT_FALSE(f.loop.Armed(TimerKind::Pause));
}

TEST_F(Connection, DisconnectClosesTheUploadFile) {
  program.OpenUploadFile = UploadFile::Create(f.folder.File("open.txt"));
  program.DisconnectTerminal();
  EXPECT_EQ(program.OpenUploadFile, nullptr);
}

TEST_F(Connection, AFailedDisconnectInACycleStillMovesOn) {
  program.TerminalList.Items = {{"127.0.0.21", true}, {"127.0.0.22", true}};
  program.CycleMode = "SEND";
  program.TerminalIndex = 0;
  f.link.disconnectResult = 0;
  program.DisconnectTerminal();
  EXPECT_EQ(Log(), Lines{"- Fail to Disconnect 127.0.0.21"});
  EXPECT_EQ(program.ServedAddress.Text, "127.0.0.22");
  EXPECT_TRUE(f.loop.Armed(TimerKind::Pause));
}

TEST_F(Connection, AfterACycleHasEndedTheDisconnectActionStartsNothing) {
  program.TerminalList.Items = {{"127.0.0.21", true}};
  program.CycleMode = "SEND";
  program.TerminalIndex = 0;
  program.DisconnectTerminal();
  EXPECT_EQ(Log(), (Lines{"- Success to Disconect 127.0.0.21", "", "* End *"}));
  program.Disconnect();
  EXPECT_EQ(Log().back(), "- Success to Disconect 127.0.0.21");
  EXPECT_EQ(Log().size(), 4u);
  EXPECT_FALSE(f.loop.Armed(TimerKind::Pause));
}

}  // namespace
