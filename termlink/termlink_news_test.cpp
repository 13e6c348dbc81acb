// What the library says beside the eight operations: the loss of a
// connection, named by its address, to callbacks that carry the caller's
// pointer; why a call failed; and no answer handed over once Disconnect has
// returned.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "records/records.h"
#include "termlink/link_test_support.h"
#include "termlink/termlink.h"
#include "termsim/simulator_process.h"
#include "tests/support/closed_port.h"

namespace {

using namespace std::chrono_literals;

const std::string kTerminal = "127.0.0.6";

// What the callbacks of one connection were told, through the pointer they carry.
struct News {
  std::mutex mutex;
  std::condition_variable changed;
  int answers = 0;
  std::vector<std::string> lost;  // "address: reason"
  // Set once Disconnect has returned; a callback that begins later counts.
  std::atomic<bool> disconnected{false};
  std::atomic<int> late{0};

  bool WaitForLoss() {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, 20s, [&] { return !lost.empty(); });
  }
  bool WaitForAnswers(int count) {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, 20s, [&] { return answers >= count; });
  }
};

void Answered(void* user, const RequestPacket* /*answer*/) {
  auto* news = static_cast<News*>(user);
  if (news->disconnected) ++news->late;
  {
    std::lock_guard lock(news->mutex);
    ++news->answers;
  }
  news->changed.notify_all();
}

void Lost(void* user, const char* address, const char* reason) {
  auto* news = static_cast<News*>(user);
  if (news->disconnected) ++news->late;
  {
    std::lock_guard lock(news->mutex);
    news->lost.push_back(std::string(address) + ": " + reason);
  }
  news->changed.notify_all();
}

int SetUp(const std::string& address, int port, News& news, int interval = 2000) {
  return AddProcConnectionEx(1, address.c_str(), port, 100, 5010, interval, 1, 9, Answered, Lost,
                             &news);
}

std::string LastErrorText() {
  char text[128];
  TermLinkLastError(text, sizeof text);
  return text;
}

class LinkNews : public ::testing::Test {
 protected:
  void SetUp() override { RegisterLibrary(); }
  void TearDown() override { Disconnect(kTerminal.c_str(), -1); }
  void WriteRecord(int number) {
    std::vector<uint8_t> record = FilledRecord(kCodePlu, number, 1);
    ASSERT_EQ(1, SendDataEx(Request(kTerminal, kCodePlu, kDirectionWrite, record)));
  }
};

TEST_F(LinkNews, AConnectionTheTerminalClosesIsReportedWithItsAddressToTheCallersPointer) {
  SimulatorProcess simulator({"--listen", kTerminal + ":0", "--close-after", "1"});
  News news;
  ASSERT_EQ(1, ::SetUp(kTerminal, simulator.port(), news));
  ASSERT_NE(0, Connect(kTerminal.c_str(), -1));
  WriteRecord(1);
  WriteRecord(2);  // closes the connection, unanswered
  ASSERT_TRUE(news.WaitForLoss());
  EXPECT_EQ(news.answers, 1) << "the answer before the close came first";
  EXPECT_EQ(news.lost, std::vector<std::string>{kTerminal + ": closed by the terminal"});
  EXPECT_EQ(IsConnect(kTerminal.c_str(), -1), 0);
  EXPECT_EQ(Disconnect(kTerminal.c_str(), -1), 0);
  EXPECT_EQ(TermLinkLastError(nullptr, 0), TERMLINK_NOT_CONNECTED);
}

TEST_F(LinkNews, AFailedCallSaysWhy) {
  SimulatorProcess refusing({"--listen", "127.0.0.7:0", "--refuse"});
  int silentPort = 0;
  const int listener = Listen("127.0.0.8", silentPort);  // accepts, never greets
  ClosedPort closed("127.0.0.9");
  News news;
  struct Case {
    std::string name;
    std::function<int()> call;
    int code;
    std::string text;
  };
  std::vector<uint8_t> record = FilledRecord(kCodePlu, 1, 1);
  const Case cases[] = {
      {"refused",
       [&] { return ::SetUp("127.0.0.9", closed.port(), news), Connect("127.0.0.9", -1); },
       TERMLINK_REFUSED, "connection refused"},
      {"accepted, then closed before the greeting",
       [&] { return ::SetUp("127.0.0.7", refusing.port(), news), Connect("127.0.0.7", -1); },
       TERMLINK_CLOSED, "closed by the terminal before its greeting"},
      {"accepted, then silent",
       [&] { return ::SetUp("127.0.0.8", silentPort, news, 300), Connect("127.0.0.8", -1); },
       TERMLINK_NO_GREETING, "no greeting within 300 ms"},
      {"an address never set up", [] { return Connect("127.0.0.99", -1); }, TERMLINK_SETUP,
       "address not set up"},
      {"a port out of range", [&] { return ::SetUp("127.0.0.9", 70000, news); }, TERMLINK_SETUP,
       "port 70000 is not 1 to 65535"},
      {"a request without a connection",
       [&] { return SendDataEx(Request("127.0.0.9", kCodePlu, kDirectionWrite, record)); },
       TERMLINK_NOT_CONNECTED, "not connected"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.call(), 0);
    EXPECT_EQ(TermLinkLastError(nullptr, 0), c.code);
    EXPECT_EQ(LastErrorText(), c.text);
  }
  // A call that succeeds clears it; a short buffer gets the text cut, ended by a zero.
  EXPECT_EQ(TermLinkLastError(nullptr, 0), TERMLINK_NOT_CONNECTED);
  char cut[4] = "xyz";
  EXPECT_EQ(TermLinkLastError(cut, sizeof cut), TERMLINK_NOT_CONNECTED);
  EXPECT_STREQ(cut, "not");
  ASSERT_EQ(1, ::SetUp("127.0.0.9", closed.port(), news));
  EXPECT_EQ(TermLinkLastError(cut, sizeof cut), TERMLINK_OK);
  EXPECT_STREQ(cut, "");
  close(listener);
}

TEST_F(LinkNews, NoAnswerIsHandedOverOnceDisconnectHasReturned) {
  SimulatorProcess simulator({"--listen", kTerminal + ":0"});
  // One connection per round, each with its own news, kept to the end.
  std::vector<std::unique_ptr<News>> rounds;
  for (int round = 0; round < 50; ++round) {
    News& news = *rounds.emplace_back(std::make_unique<News>());
    ASSERT_EQ(1, ::SetUp(kTerminal, simulator.port(), news));
    ASSERT_NE(0, Connect(kTerminal.c_str(), -1));
    for (int n = 1; n <= 200; ++n) WriteRecord(n);
    // Disconnect while the answers stream in.
    ASSERT_TRUE(news.WaitForAnswers(1 + round * 3));
    Disconnect(kTerminal.c_str(), -1);
    news.disconnected = true;
  }
  // A marker connection's answer comes after every answer that was still on
  // its way: had one been handed over late, it would have come before it.
  News marker;
  ASSERT_EQ(1, ::SetUp(kTerminal, simulator.port(), marker));
  ASSERT_NE(0, Connect(kTerminal.c_str(), -1));
  WriteRecord(1);
  ASSERT_TRUE(marker.WaitForAnswers(1));
  for (const auto& news : rounds) EXPECT_EQ(news->late, 0);
  // Before the marker's news goes: the simulator's end would report the
  // loss of its connection to it.
  Disconnect(kTerminal.c_str(), -1);
}

}  // namespace
