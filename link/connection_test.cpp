#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/answer_router.h"
#include "link/upload_file.h"
#include "tests/support/form_fixture.h"
#include "text/terminal_port.h"

namespace {

using Lines = std::vector<std::string>;

class Connection : public ::testing::Test {
 protected:
  void SetUp() override {
    form.ServedAddress.Text = "127.0.0.21";
    logStart = form.ActivityLog.Items.size();
  }
  Lines Log() const {
    return Lines(form.ActivityLog.Items.begin() + logStart, form.ActivityLog.Items.end());
  }

  FormFixture f;
  TForm1& form = *f.form;
  std::size_t logStart = 0;
};

TEST_F(Connection, SetsUpTheConnectionWithTheTextsOfTheHiddenFields) {
  form.PortBox.Text = "20404";
  form.ConnectInterval.Text = "250";
  form.ConnectRetry.Text = "-1";
  form.Action1Execute();
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
    form.PortBox.Text = port;
    f.view.failures.clear();
    form.HandleEvent([&] { form.Action1Execute(); });
    EXPECT_EQ(f.view.failures, Lines{BadPortMessage(port)}) << "'" << port << "'";
  }
  EXPECT_EQ(f.link.calls.size(), callsBefore);
  EXPECT_EQ(Log(), Lines{});
}

TEST_F(Connection, OutsideACycleConnectAndDisconnectOnlyLog) {
  form.Action1Execute();
  form.Action2Execute();
  f.link.connectResult = 0;
  f.link.disconnectResult = 0;
  form.Action1Execute();
  form.Action2Execute();
  EXPECT_EQ(Log(), (Lines{"", "- Success Connect 127.0.0.21", "- Success to Disconect 127.0.0.21",
                          "", "- Fail Connect 127.0.0.21", "- Fail to Disconnect 127.0.0.21"}));
  EXPECT_TRUE(f.link.sent.empty()) << "no download outside a cycle";
  EXPECT_FALSE(f.loop.Armed(TimerSlot::Pause));
}

TEST_F(Connection, DisconnectClosesTheUploadFile) {
  form.OpenUploadFile = UploadFile::Create(f.folder.File("open.txt"));
  form.DisconnectTerminal();
  EXPECT_EQ(form.OpenUploadFile, nullptr);
}

TEST_F(Connection, AFailedDisconnectInACycleStillMovesOn) {
  form.TerminalList.Items = {{"127.0.0.21", true}, {"127.0.0.22", true}};
  form.CycleMode = "SEND";
  form.TerminalIndex = 0;
  f.link.disconnectResult = 0;
  form.DisconnectTerminal();
  EXPECT_EQ(Log(), Lines{"- Fail to Disconnect 127.0.0.21"});
  EXPECT_EQ(form.ServedAddress.Text, "127.0.0.22");
  EXPECT_TRUE(f.loop.Armed(TimerSlot::Pause));
}

TEST_F(Connection, AfterACycleHasEndedTheDisconnectActionStartsNothing) {
  form.TerminalList.Items = {{"127.0.0.21", true}};
  form.CycleMode = "SEND";
  form.TerminalIndex = 0;
  form.DisconnectTerminal();
  EXPECT_EQ(Log(), (Lines{"- Success to Disconect 127.0.0.21", "", "* End *"}));
  form.Action2Execute();
  EXPECT_EQ(Log().back(), "- Success to Disconect 127.0.0.21");
  EXPECT_EQ(Log().size(), 4u);
  EXPECT_FALSE(f.loop.Armed(TimerSlot::Pause));
}

}  // namespace
