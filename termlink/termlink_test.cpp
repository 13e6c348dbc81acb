// The link library against the real simulator on loopback: connecting,
// requests refused before they leave, round trips of every kind, reads,
// reports, several terminals at once and calls from inside the callback.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <future>
#include <thread>

#include "records/records.h"
#include "termlink/link_test_support.h"
#include "termlink/record_table.h"
#include "termlink/termlink.h"
#include "termsim/simulator_process.h"
#include "tests/support/closed_port.h"

namespace {

using namespace std::chrono_literals;

const std::string kTerminal = "127.0.0.2";

class LinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AnswerRecorder::Get().Reset();
    RegisterLibrary();
  }
  // Disconnects before the simulators stop, so that no connection of this
  // test is lost while the next one runs.
  void TearDown() override {
    for (const std::string& address : used_) Disconnect(address.c_str(), -1);
    simulators_.clear();
  }

  SimulatorProcess& Start(std::vector<std::string> args) {
    simulators_.push_back(std::make_unique<SimulatorProcess>(std::move(args)));
    return *simulators_.back();
  }

  // Starts a simulator for `address` and connects to it.
  SimulatorProcess& StartAndConnect(const std::string& address,
                                    std::vector<std::string> extra = {}) {
    std::vector<std::string> args{"--listen", address + ":0"};
    args.insert(args.end(), extra.begin(), extra.end());
    SimulatorProcess& simulator = Start(args);
    EXPECT_EQ(1, AddConnection(address, simulator.port()));
    EXPECT_NE(0, Connect(address.c_str(), -1));
    used_.push_back(address);
    return simulator;
  }

  // Sends one request and waits for its answer.
  RecordedAnswer RoundTrip(const std::string& address, uint8_t code, uint16_t direction,
                           std::vector<uint8_t> record) {
    size_t before = AnswerRecorder::Get().Answers().size();
    EXPECT_NE(0, SendDataEx(Request(address, code, direction, record)));
    EXPECT_TRUE(AnswerRecorder::Get().WaitForAnswers(before + 1));
    std::vector<RecordedAnswer> answers = AnswerRecorder::Get().Answers();
    return answers.size() > before ? answers[before] : RecordedAnswer{};
  }

  std::vector<std::string> used_;
  std::vector<std::unique_ptr<SimulatorProcess>> simulators_;
};

TEST(LibraryInfo, FillsVersionAndReleaseDateOnlyForLayoutThree) {
  uint8_t info[7] = {3, 0xAA, 0, 0, 0, 0, 0};
  char text[4] = "";
  EXPECT_NE(0, GetLibraryInfo(info, text));
  EXPECT_EQ(0xAA, info[1]);
  EXPECT_EQ(1, info[2]);  // major
  EXPECT_EQ(0, info[3]);  // minor
  EXPECT_GE(info[4], 26);
  EXPECT_TRUE(info[5] >= 1 && info[5] <= 12);
  EXPECT_TRUE(info[6] >= 1 && info[6] <= 31);
  EXPECT_STREQ("", text);

  uint8_t other[7] = {4, 9, 9, 9, 9, 9, 9};
  EXPECT_EQ(0, GetLibraryInfo(other, text));
  EXPECT_EQ(9, other[2]);
  EXPECT_EQ(0, GetLibraryInfo(nullptr, text));
}

TEST_F(LinkTest, IsConnectBeforeDuringAndAfterAConnection) {
  EXPECT_EQ(0, IsConnect("127.0.0.250", -1));  // never set up
  EXPECT_EQ(0, IsConnect(nullptr, -1));
  SimulatorProcess& simulator = Start({"--listen", kTerminal + ":0"});
  ASSERT_EQ(1, AddConnection(kTerminal, simulator.port()));
  used_.push_back(kTerminal);
  EXPECT_EQ(0, IsConnect(kTerminal.c_str(), -1));
  EXPECT_EQ(0, Disconnect(kTerminal.c_str(), -1));

  EXPECT_NE(0, Connect(kTerminal.c_str(), -1));
  EXPECT_EQ(1, IsConnect(kTerminal.c_str(), -1));
  EXPECT_NE(0, Connect(kTerminal.c_str(), -1));  // already connected: stays so

  EXPECT_NE(0, Disconnect(kTerminal.c_str(), -1));
  EXPECT_EQ(0, IsConnect(kTerminal.c_str(), -1));
  EXPECT_EQ(0, Disconnect(kTerminal.c_str(), -1));

  // A repeated set-up of the same address is accepted, and connects again.
  ASSERT_EQ(1, AddConnection(kTerminal, simulator.port()));
  EXPECT_NE(0, Connect(kTerminal.c_str(), -1));
  EXPECT_EQ(1, IsConnect(kTerminal.c_str(), -1));

  // The terminal going away closes the connection.
  simulator.Stop();
  EXPECT_TRUE(WaitForIsConnect(kTerminal, 0));
  EXPECT_TRUE(AnswerRecorder::Get().WaitForLosses(1));
}

TEST_F(LinkTest, RefusedConnectFailsAtOnceNotAfterTheTimeOut) {
  ClosedPort closed(kTerminal);
  ASSERT_EQ(1, AddConnection(kTerminal, closed.port(), 20000, 3));
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(0, Connect(kTerminal.c_str(), -1));
  // Three attempts of 20 s each would take a minute.
  EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
  EXPECT_EQ(0, IsConnect(kTerminal.c_str(), -1));
}

// A terminal that hangs up on its first `hangUps` callers and greets the
// next ones, counting them.
class LateTerminal {
 public:
  explicit LateTerminal(int hangUps) {
    listener_ = Listen(kTerminal, port_);
    thread_ = std::thread([this, hangUps] {
      for (;;) {
        int fd = accept(listener_, nullptr, nullptr);
        if (fd < 0) return;  // the listener was shut down
        if (++callers_ > hangUps) {
          const std::vector<uint8_t> greeting = Greeting();
          send(fd, greeting.data(), greeting.size(), MSG_NOSIGNAL);
          greeted_.push_back(fd);
        } else {
          close(fd);
        }
      }
    });
  }
  ~LateTerminal() {
    shutdown(listener_, SHUT_RDWR);  // ends the accept
    thread_.join();
    close(listener_);
    for (int fd : greeted_) close(fd);
  }
  int port() const { return port_; }
  int callers() const { return callers_; }

 private:
  int listener_ = -1;
  int port_ = 0;
  std::atomic<int> callers_{0};
  std::vector<int> greeted_;
  std::thread thread_;
};

TEST_F(LinkTest, AConnectSucceedsOnALaterAttemptWithinItsRetries) {
  const struct {
    int hangUps;
    int retries;
    bool connects;
    int callers;  // dials the terminal saw
  } cases[] = {{1, 1, false, 1}, {1, 2, true, 2}, {2, 3, true, 3}, {1, 3, true, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE("hang-ups " + std::to_string(c.hangUps) + ", retries " +
                 std::to_string(c.retries));
    LateTerminal terminal(c.hangUps);
    ASSERT_EQ(1, AddConnection(kTerminal, terminal.port(), 2000, c.retries));
    used_.push_back(kTerminal);
    EXPECT_EQ(c.connects, Connect(kTerminal.c_str(), -1) != 0);
    EXPECT_EQ(c.connects ? 1 : 0, IsConnect(kTerminal.c_str(), -1));
    EXPECT_EQ(c.callers, terminal.callers());
    Disconnect(kTerminal.c_str(), -1);
  }
}

TEST_F(LinkTest, SilentListenerCostsEveryAttemptItsTimeOut) {
  // A listener that never greets: the kernel accepts, nobody answers.
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in where{};
  where.sin_family = AF_INET;
  inet_pton(AF_INET, kTerminal.c_str(), &where.sin_addr);
  ASSERT_EQ(0, bind(fd, reinterpret_cast<sockaddr*>(&where), sizeof where));
  ASSERT_EQ(0, listen(fd, 8));
  socklen_t size = sizeof where;
  getsockname(fd, reinterpret_cast<sockaddr*>(&where), &size);

  ASSERT_EQ(1, AddConnection(kTerminal, ntohs(where.sin_port), 100, 3));
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(0, Connect(kTerminal.c_str(), -1));
  EXPECT_GE(std::chrono::steady_clock::now() - start, 300ms);
  close(fd);
}

// A program that stops while a terminal has not greeted yet disconnects the
// address from its own thread: the Connect waiting on another gives up at
// once, and the address connects as usual afterwards.
TEST_F(LinkTest, ADisconnectFromAnotherThreadEndsAConnectStillWaitingForTheGreeting) {
  int port = 0;
  const int silent = Listen(kTerminal, port);  // accepted by the kernel, never greeted
  ASSERT_GE(silent, 0);
  // Three attempts of 20 s: the wait below gives up long before they would.
  ASSERT_EQ(1, AddConnection(kTerminal, port, 20000, 3));
  auto connected = std::async(std::launch::async, [] { return Connect(kTerminal.c_str(), -1); });
  pollfd caller{silent, POLLIN, 0};
  ASSERT_EQ(1, poll(&caller, 1, 10000)) << "the connect reached the listener";
  EXPECT_EQ(0, Disconnect(kTerminal.c_str(), -1)) << "no connection was open";
  ASSERT_EQ(std::future_status::ready, connected.wait_for(10s)) << "hang guard";
  EXPECT_EQ(0, connected.get());
  close(silent);

  SimulatorProcess& simulator = Start({"--listen", kTerminal + ":0"});
  ASSERT_EQ(1, AddConnection(kTerminal, simulator.port()));
  EXPECT_NE(0, Connect(kTerminal.c_str(), -1));
  used_.push_back(kTerminal);
}

TEST_F(LinkTest, ConnectNeedsTheTcpTransportAndASetUpConnection) {
  SimulatorProcess& simulator = Start({"--listen", kTerminal + ":0"});
  used_.push_back(kTerminal);
  EXPECT_EQ(0, Connect("127.0.0.251", -1));  // no AddProcConnection for it
  EXPECT_EQ(0, Connect(nullptr, -1));

  // Bad set-ups are refused and leave nothing to connect.
  EXPECT_EQ(0, AddConnection(kTerminal, 0));
  EXPECT_EQ(0, AddConnection(kTerminal, 70000));
  EXPECT_EQ(0, AddConnection(kTerminal, simulator.port(), 0, 3));
  EXPECT_EQ(0, AddConnection(kTerminal, simulator.port(), 1000, 0));
  EXPECT_EQ(0, AddProcConnection(1, kTerminal.c_str(), simulator.port(), 100, 4242, 1000, 1, 9,
                                 &AnswerRecorder::DataCallback, nullptr));
  EXPECT_EQ(0, AddProcConnection(2, kTerminal.c_str(), simulator.port(), 100, 5010, 1000, 1, 9,
                                 &AnswerRecorder::DataCallback, nullptr));
  EXPECT_EQ(0, Connect(kTerminal.c_str(), -1));

  ASSERT_EQ(1, AddConnection(kTerminal, simulator.port()));
  EXPECT_EQ(0, SetCommLibrary(1, "OTHER.DLL"));
  EXPECT_EQ(0, Connect(kTerminal.c_str(), -1));
  EXPECT_EQ(0, SetCommLibrary(2, "TLTCPIP.DLL"));
  EXPECT_EQ(0, Connect(kTerminal.c_str(), -1));
  EXPECT_NE(0, SetCommLibrary(1, "tltcpip.dll"));
  EXPECT_NE(0, Connect(kTerminal.c_str(), -1));
}

TEST_F(LinkTest, SendDataExRefusesBadRequestsAndSendsNothing) {
  std::vector<uint8_t> plu = FilledRecord(kCodePlu, 5, 1);
  EXPECT_EQ(0, SendDataEx(Request(kTerminal, kCodePlu, kDirectionWrite, plu)));  // not connected
  StartAndConnect(kTerminal);

  auto refused = [&](RequestPacket packet) { EXPECT_EQ(0, SendDataEx(packet)); };
  RequestPacket packet = Request(kTerminal, kCodePlu, kDirectionWrite, plu);
  packet.Address = nullptr;
  refused(packet);
  const std::string elsewhere = "127.0.0.252";
  packet = Request(elsewhere, kCodePlu, kDirectionWrite, plu);
  refused(packet);
  packet = Request(kTerminal, kCodePlu, kDirectionWrite, plu);
  packet.InterpreterId = 5000;  // registered, but knows no records
  refused(packet);
  packet.InterpreterId = 4242;  // not registered
  refused(packet);
  packet = Request(kTerminal, kCodePlu, kDirectionWrite, plu);
  packet.InterpreterGroup = 7;
  refused(packet);
  packet = Request(kTerminal, 33, kDirectionWrite, plu);  // unknown code
  refused(packet);
  packet = Request(kTerminal, kCodePlu, 1, plu);  // unknown direction
  refused(packet);
  std::vector<uint8_t> report = AskFor(kCodeReportTime, 0);
  refused(Request(kTerminal, kCodeReportTime, kDirectionWrite, report));  // not writable
  for (uint8_t code : {kCodeReportPlu, kCodeReportTime, kCodeReportGroup, kCodeReportDept}) {
    std::vector<uint8_t> ask = AskFor(code, 1);
    refused(Request(kTerminal, code, kDirectionDelete, ask));  // a report cannot be deleted
  }
  std::vector<uint8_t> shortDelete = AskFor(kCodeBarcode, 1);
  packet = Request(kTerminal, kCodeBarcode, kDirectionDelete, shortDelete);
  packet.DataLength = 155;
  refused(packet);
  packet = Request(kTerminal, kCodePlu, kDirectionWrite, plu);
  packet.DataLength = 1717;
  refused(packet);
  packet.DataLength = 1719;
  refused(packet);
  packet = Request(kTerminal, kCodePlu, kDirectionWrite, plu);
  packet.Data = nullptr;
  refused(packet);

  // Had any of them gone out, the terminal would have answered it first or
  // closed the connection on it.
  RecordedAnswer answer = RoundTrip(kTerminal, kCodePlu, kDirectionWrite, plu);
  EXPECT_EQ(plu, answer.data);
  EXPECT_EQ(1u, AnswerRecorder::Get().Answers().size());
  EXPECT_EQ(1, IsConnect(kTerminal.c_str(), -1));
}

TEST_F(LinkTest, EveryKindIsWrittenAndAcknowledgedByteForByte) {
  StartAndConnect(kTerminal);
  unsigned seed = 10;
  for (uint8_t code : {kCodePlu, kCodeBarcode, kCodeIngredient, kCodeScrollMsg, kCodeSpeedkey}) {
    std::vector<uint8_t> record = FilledRecord(code, 321, seed++);
    RecordedAnswer answer = RoundTrip(kTerminal, code, kDirectionWrite, record);
    EXPECT_EQ(kTerminal, answer.address);
    EXPECT_EQ(code, answer.code);
    EXPECT_EQ(kDirectionWrite, answer.direction);
    EXPECT_EQ(-1, answer.id);
    EXPECT_EQ(1, answer.channel);
    EXPECT_EQ(100, answer.interpreterGroup);
    EXPECT_EQ(5010, answer.interpreterId);
    EXPECT_EQ(record, answer.data) << "code " << int(code);
    EXPECT_NE(std::this_thread::get_id(), answer.thread);  // a thread of the library
  }
}

// A delete carries a record of the kind's size, zero but for its number; the
// answer carries the number deleted, also for a number the terminal did not
// hold, and a read finds the deleted record gone.
TEST_F(LinkTest, EveryKindADownloadWritesIsDeletedByNumber) {
  StartAndConnect(kTerminal);
  for (uint8_t code : {kCodePlu, kCodeBarcode, kCodeIngredient, kCodeScrollMsg}) {
    for (int number : {3, 5}) {
      RoundTrip(kTerminal, code, kDirectionWrite, FilledRecord(code, number, number));
    }
    for (int number : {3, 4}) {
      RecordedAnswer answer = RoundTrip(kTerminal, code, kDirectionDelete, AskFor(code, number));
      EXPECT_EQ(code, answer.code);
      EXPECT_EQ(kDirectionDelete, answer.direction);
      EXPECT_EQ(AskFor(code, number), answer.data) << "code " << int(code);
    }
    RecordedAnswer next = RoundTrip(kTerminal, code, kDirectionRead, AskFor(code, 1));
    EXPECT_EQ(FilledRecord(code, 5, 5), next.data) << "code " << int(code);
  }
  RoundTrip(kTerminal, kCodeSpeedkey, kDirectionWrite, FilledRecord(kCodeSpeedkey, 1, 1));
  RecordedAnswer keys =
      RoundTrip(kTerminal, kCodeSpeedkey, kDirectionDelete, AskFor(kCodeSpeedkey, 1));
  EXPECT_EQ(1, NumberOf(keys));
  RecordedAnswer none =
      RoundTrip(kTerminal, kCodeSpeedkey, kDirectionRead, AskFor(kCodeSpeedkey, 1));
  EXPECT_EQ("99", StatusCode(none));
}

TEST_F(LinkTest, ReadsAnswerTheNextStoredRecordAndEndWith99) {
  StartAndConnect(kTerminal);
  for (uint8_t code : {kCodePlu, kCodeBarcode, kCodeIngredient, kCodeScrollMsg}) {
    for (int number : {10, 3, 7}) {
      RoundTrip(kTerminal, code, kDirectionWrite, FilledRecord(code, number, number));
    }
    std::vector<std::pair<int, int>> asked_answered = {{1, 3}, {3, 3}, {4, 7}, {8, 10}, {10, 10}};
    for (auto [asked, answered] : asked_answered) {
      RecordedAnswer answer = RoundTrip(kTerminal, code, kDirectionRead, AskFor(code, asked));
      EXPECT_EQ(kDirectionRead, answer.direction);
      EXPECT_EQ(answered, NumberOf(answer)) << "code " << int(code) << " asked " << asked;
      EXPECT_EQ(FilledRecord(code, answered, answered), answer.data);
    }
    RecordedAnswer end = RoundTrip(kTerminal, code, kDirectionRead, AskFor(code, 11));
    EXPECT_EQ(0, NumberOf(end)) << "code " << int(code);
    EXPECT_EQ("99", StatusCode(end)) << "code " << int(code);
  }
}

TEST_F(LinkTest, ReportsHaveTheirRangesAndEndWith99) {
  StartAndConnect(kTerminal);
  struct Range {
    uint8_t code;
    int first, last;
  };
  for (Range range : {Range{kCodeReportTime, 0, 23}, Range{kCodeReportGroup, 0, 99},
                      Range{kCodeReportDept, 1, 99}}) {
    for (int asked = 0; asked <= range.last; ++asked) {
      RecordedAnswer answer =
          RoundTrip(kTerminal, range.code, kDirectionRead, AskFor(range.code, asked));
      ASSERT_EQ(std::max(asked, range.first), NumberOf(answer)) << int(range.code);
      ReportTotalRecord record;
      std::memcpy(&record, answer.data.data(), sizeof record);
      EXPECT_EQ(2026, 2000 + record.Year);
      EXPECT_TRUE(record.Month >= 1 && record.Month <= 12 && record.Day >= 1 && record.Day <= 31);
      EXPECT_TRUE(record.Hour < 24 && record.Minute < 60 && record.Second < 60);
      EXPECT_GE(int32_t{record.Value1}, 0);  // a copy: the packed field may sit unaligned
      if (range.code == kCodeReportTime) {
        EXPECT_EQ(asked, record.Hour);
      }
    }
    RecordedAnswer end =
        RoundTrip(kTerminal, range.code, kDirectionRead, AskFor(range.code, range.last + 1));
    EXPECT_EQ(0, NumberOf(end));
    EXPECT_EQ("99", StatusCode(end));
  }
}

TEST_F(LinkTest, PluReportHasOneRecordPerStoredPluAndIsTheSameEveryTime) {
  StartAndConnect(kTerminal);
  for (int number : {42, 7, 1000}) {
    RoundTrip(kTerminal, kCodePlu, kDirectionWrite, FilledRecord(kCodePlu, number, 1));
  }
  std::vector<std::vector<uint8_t>> first;
  for (int pass = 0; pass < 2; ++pass) {
    std::vector<int32_t> plus;
    for (int asked = 0; asked < 3; ++asked) {
      RecordedAnswer answer =
          RoundTrip(kTerminal, kCodeReportPlu, kDirectionRead, AskFor(kCodeReportPlu, asked));
      EXPECT_EQ(asked, NumberOf(answer));
      ReportPluRecord record;
      std::memcpy(&record, answer.data.data(), sizeof record);
      plus.push_back(int32_t{record.Value2});  // a copy: the packed field may sit unaligned
      if (pass == 0) {
        first.push_back(answer.data);
      } else {
        EXPECT_EQ(first[asked], answer.data);
      }
    }
    EXPECT_EQ((std::vector<int32_t>{7, 42, 1000}), plus);
    RecordedAnswer end =
        RoundTrip(kTerminal, kCodeReportPlu, kDirectionRead, AskFor(kCodeReportPlu, 3));
    EXPECT_EQ("99", StatusCode(end));
  }
}

TEST_F(LinkTest, AWriteBeyondTheCapacityIsNotStoredAndSaysMemoryFull) {
  StartAndConnect(kTerminal, {"--capacity", "2"});
  RoundTrip(kTerminal, kCodeBarcode, kDirectionWrite, FilledRecord(kCodeBarcode, 1, 1));
  RoundTrip(kTerminal, kCodeBarcode, kDirectionWrite, FilledRecord(kCodeBarcode, 2, 2));
  RecordedAnswer full =
      RoundTrip(kTerminal, kCodeBarcode, kDirectionWrite, FilledRecord(kCodeBarcode, 3, 3));
  EXPECT_EQ(0, NumberOf(full));
  const termlink::RecordKind& kind = *termlink::FindRecordKind(kCodeBarcode);
  EXPECT_NE(std::string::npos,
            std::string(termlink::StatusText(kind, full.data)).find("Memory full"));
  // Replacing a stored record still works when the memory is full.
  std::vector<uint8_t> again = FilledRecord(kCodeBarcode, 2, 99);
  EXPECT_EQ(again, RoundTrip(kTerminal, kCodeBarcode, kDirectionWrite, again).data);
  EXPECT_EQ("99", StatusCode(
                      RoundTrip(kTerminal, kCodeBarcode, kDirectionRead, AskFor(kCodeBarcode, 3))));
  // Other kinds have their own room.
  std::vector<uint8_t> plu = FilledRecord(kCodePlu, 3, 4);
  EXPECT_EQ(plu, RoundTrip(kTerminal, kCodePlu, kDirectionWrite, plu).data);
}

TEST_F(LinkTest, SeveralTerminalsShareOnePortAndKeepTheirOwnRecords) {
  std::vector<std::string> addresses, args;
  for (int host = 2; host <= 6; ++host) {
    addresses.push_back("127.0.0." + std::to_string(host));
    args.insert(args.end(), {"--listen", addresses.back() + ":0"});
  }
  SimulatorProcess& simulator = Start(args);
  ASSERT_EQ(5u, simulator.listening().size());
  for (size_t i = 0; i < addresses.size(); ++i) {
    EXPECT_EQ(addresses[i] + ":" + std::to_string(simulator.port()), simulator.listening()[i]);
    ASSERT_EQ(1, AddConnection(addresses[i], simulator.port()));
    ASSERT_NE(0, Connect(addresses[i].c_str(), -1));
    used_.push_back(addresses[i]);
  }
  // All requests go out before any answer is awaited.
  std::vector<std::vector<uint8_t>> records;
  for (size_t i = 0; i < addresses.size(); ++i) {
    records.push_back(FilledRecord(kCodePlu, 100 + i, i));
    ASSERT_NE(0, SendDataEx(Request(addresses[i], kCodePlu, kDirectionWrite, records[i])));
  }
  ASSERT_TRUE(AnswerRecorder::Get().WaitForAnswers(addresses.size()));
  AnswerRecorder::Get().Reset();
  std::vector<std::vector<uint8_t>> asks(addresses.size(), AskFor(kCodePlu, 1));
  for (size_t i = 0; i < addresses.size(); ++i) {
    ASSERT_NE(0, SendDataEx(Request(addresses[i], kCodePlu, kDirectionRead, asks[i])));
  }
  ASSERT_TRUE(AnswerRecorder::Get().WaitForAnswers(addresses.size()));
  for (const RecordedAnswer& answer : AnswerRecorder::Get().Answers()) {
    size_t i = std::find(addresses.begin(), addresses.end(), answer.address) - addresses.begin();
    ASSERT_LT(i, addresses.size());
    EXPECT_EQ(records[i], answer.data) << answer.address;
  }
}

std::atomic<int> insideCallback{0};
std::atomic<int> mostInside{0};

void StayAWhile(const RequestPacket&) {
  int inside = ++insideCallback;
  int most = mostInside;
  while (inside > most && !mostInside.compare_exchange_weak(most, inside)) {
  }
  std::this_thread::sleep_for(1ms);
  --insideCallback;
}

TEST_F(LinkTest, CallbacksOfAllConnectionsRunOneAtATime) {
  std::vector<std::string> addresses = {"127.0.0.2", "127.0.0.3", "127.0.0.4"};
  std::vector<std::string> args;
  for (const std::string& address : addresses)
    args.insert(args.end(), {"--listen", address + ":0"});
  SimulatorProcess& simulator = Start(args);
  for (const std::string& address : addresses) {
    ASSERT_EQ(1, AddConnection(address, simulator.port()));
    ASSERT_NE(0, Connect(address.c_str(), -1));
    used_.push_back(address);
  }
  AnswerRecorder::Get().SetHook(&StayAWhile);
  std::vector<uint8_t> record = FilledRecord(kCodeBarcode, 1, 1);
  for (int round = 0; round < 10; ++round) {
    for (const std::string& address : addresses) {
      ASSERT_NE(0, SendDataEx(Request(address, kCodeBarcode, kDirectionWrite, record)));
    }
  }
  ASSERT_TRUE(AnswerRecorder::Get().WaitForAnswers(30));
  EXPECT_EQ(1, mostInside);
}

// The program's way of working: the next request, and finally the
// disconnect, are issued from inside the data callback.
std::atomic<int> chainSent{0};
constexpr int kChainLength = 40;

void SendNextFromCallback(const RequestPacket& answer) {
  EXPECT_EQ(1, IsConnect(answer.Address, -1));
  if (chainSent == kChainLength) {
    EXPECT_NE(0, Disconnect(answer.Address, -1));
    EXPECT_EQ(0, IsConnect(answer.Address, -1));
    return;
  }
  std::vector<uint8_t> record = FilledRecord(kCodePlu, ++chainSent, 7);
  EXPECT_NE(0, SendDataEx(Request(answer.Address, kCodePlu, kDirectionWrite, record)));
}

TEST_F(LinkTest, TheCallbackMaySendTheNextRequestAndDisconnect) {
  StartAndConnect(kTerminal);
  chainSent = 1;
  AnswerRecorder::Get().SetHook(&SendNextFromCallback);
  std::vector<uint8_t> first = FilledRecord(kCodePlu, 1, 7);
  ASSERT_NE(0, SendDataEx(Request(kTerminal, kCodePlu, kDirectionWrite, first)));
  ASSERT_TRUE(AnswerRecorder::Get().WaitForAnswers(kChainLength));
  EXPECT_TRUE(WaitForIsConnect(kTerminal, 0));
  std::vector<RecordedAnswer> answers = AnswerRecorder::Get().Answers();
  ASSERT_EQ(size_t(kChainLength), answers.size());
  for (int i = 0; i < kChainLength; ++i) EXPECT_EQ(i + 1, NumberOf(answers[i]));
  EXPECT_EQ(0, AnswerRecorder::Get().Losses());  // Disconnect is no loss
}

}  // namespace
