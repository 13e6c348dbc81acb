// A terminal that closes its connection, over the real link library and
// orlent-termsim: the session ends at once, long before its answer time-out,
// with the failure "closed by terminal"; and the menu's Send Data downloads
// on the served terminal's open connection.
#include <optional>
#include <string>
#include <vector>

#include "model/held_orders.h"
#include "tests/e2e/e2e_fixture.h"
#include "tests/e2e/sample_files.h"
#include "tests/support/program_fixture.h"

namespace {

// Far beyond the hang guard of each run: only the seen loss ends the session.
constexpr int kLongAnswerTimeoutMs = 3600 * 1000;

class LostConnection : public EndToEnd {
 protected:
  LostConnection() {
    ChangeCycleOptions(*program, std::nullopt, std::nullopt, kLongAnswerTimeoutMs);
  }
  // Runs until the served terminal's session has disconnected.
  bool RunUntilDisconnected() {
    return loop.RunUntil([&] { return program->Served()->Phase() == SessionPhase::Disconnected; },
                         kRunLimit);
  }
  TerminalState Served() { return program->Served()->Glance(); }
  void ConnectServed(const std::string& address) {
    dialled.push_back(address);
    program->Serve(address);
    program->HandleEvent([&] { program->Connect(ServedOrder(*program)); });
    ASSERT_TRUE(loop.RunUntil([&] { return !program->ConnectPending(); }, kRunLimit));
  }
};

TEST_F(LostConnection, ACycleMovesOnAtOnceFromATerminalThatClosed) {
  folder.Write("PLU-Down-Default.txt", FileText(PluLines(10)));
  StartSimulators({{{"127.0.0.2"}, {"--close-after", "4"}}, {{"127.0.0.3"}, {}}});
  const std::size_t from = program->Activity().Lines().size();
  ASSERT_TRUE(RunCycle({{"127.0.0.2", true}, {"127.0.0.3", true}}));
  const Lines log = LogFrom(from);
  EXPECT_EQ(Lines(log.begin(), log.begin() + 4),
            (Lines{"", "- Success Connect 127.0.0.2", "- Success to Send Plu (5)",
                   "- Fail to Disconnect 127.0.0.2"}));
  EXPECT_FALSE(Logged("- Time Out 127.0.0.2"));
  EXPECT_TRUE(Logged("- Complete Send Plu (Total : 10)"));
  const std::vector<TerminalState> states = program->CycleStates();
  ASSERT_EQ(states.size(), 2u);
  EXPECT_EQ(states[0].failure, "closed by terminal");
  EXPECT_EQ(states[1].failure, "");
}

TEST_F(LostConnection, AnUploadEndsAtOnceWhenTheTerminalCloses) {
  StartSimulator({"127.0.0.2"}, {"--close-after", "0"});  // closes on the first request
  ConnectServed("127.0.0.2");
  program->ChooseUploadFile(folder.File("PLU-Up.txt"));
  program->HandleEvent([&] { program->Upload(ServedUploadOrder(*program)); });
  ASSERT_TRUE(RunUntilDisconnected());
  EXPECT_EQ(program->Activity().Lines().back(), "- Fail to Disconnect 127.0.0.2");
  EXPECT_EQ(Served().failure, "closed by terminal");
}

TEST_F(LostConnection, SendDataDownloadsOnTheServedTerminalsOpenConnection) {
  folder.Write("PLU-Down-Default.txt", FileText(PluLines(3)));
  StartSimulator({"127.0.0.2"});
  ConnectServed("127.0.0.2");
  const std::size_t from = program->Activity().Lines().size();
  program->HandleEvent([&] { program->Download(ServedDownloadOrder(*program)); });
  ASSERT_TRUE(RunUntilDisconnected());
  EXPECT_EQ(LogFrom(from), (Lines{"- Success to Send Plu (3)", "- Complete Send Plu (Total : 3)",
                                  "- Success to Disconect 127.0.0.2"}));
  EXPECT_TRUE(view.statusMessages.empty());

  // Once disconnected there is no connection: the log has only its failure
  // line, and the status bar says which terminal and why.
  const std::size_t after = program->Activity().Lines().size();
  program->HandleEvent([&] { program->Download(ServedDownloadOrder(*program)); });
  EXPECT_EQ(LogFrom(after), Lines{"- Fail to Send Plu (0)"});
  EXPECT_EQ(view.statusMessages, Lines{"Nothing sent to 127.0.0.2: it is not connected"});
}

TEST_F(LostConnection, AConnectToATerminalThatNeverGreetsSaysSo) {
  StartSimulator({"127.0.0.2"}, {"--refuse"});
  program->SetConnectAttempts("5000", "1");
  ConnectServed("127.0.0.2");
  EXPECT_EQ(program->Activity().Lines().back(), "- Fail Connect 127.0.0.2");
  EXPECT_EQ(Served().failure, "connect failed: closed by the terminal before its greeting");
}

}  // namespace
