// The link library when things go wrong: malformed and unexpected frames
// from either side, every fault the simulator can play, and a store that
// must survive a restart of the simulator.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <thread>

#include "records/records.h"
#include "termlink/link_test_support.h"
#include "termlink/termlink.h"
#include "termlink/wire_codec.h"
#include "termsim/simulator_process.h"
#include "tests/support/temp_folder.h"

namespace {

using namespace std::chrono_literals;
using termlink::FrameHeader;
using termlink::FrameType;

const std::string kTerminal = "127.0.0.3";

std::vector<uint8_t> Frame(FrameType type, uint8_t code = 0, uint16_t direction = 0,
                           const std::vector<uint8_t>& data = {}) {
  FrameHeader header;
  header.type = type;
  header.code = code;
  header.direction = direction;
  header.dataLength = static_cast<uint16_t>(data.size());
  std::vector<uint8_t> bytes;
  termlink::AppendFrame(bytes, header, data.data());
  return bytes;
}

bool SendAll(int fd, const std::vector<uint8_t>& bytes) {
  return send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size());
}

// Reads until the peer closes; false when it stays open for `timeout`.
bool SeesClose(int fd, std::chrono::milliseconds timeout = 5s) {
  timeval limit{static_cast<time_t>(timeout.count() / 1000),
                static_cast<suseconds_t>(timeout.count() % 1000 * 1000)};
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
  uint8_t buffer[4096];
  for (;;) {
    ssize_t n = recv(fd, buffer, sizeof buffer, 0);
    if (n == 0) return true;
    if (n < 0) return errno == ECONNRESET;
  }
}

int Dial(const std::string& address, int port) {
  int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in where{};
  where.sin_family = AF_INET;
  where.sin_port = htons(static_cast<uint16_t>(port));
  inet_pton(AF_INET, address.c_str(), &where.sin_addr);
  if (connect(fd, reinterpret_cast<sockaddr*>(&where), sizeof where) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

// A terminal side written by hand: greets with `greeting`, reads one request
// when `readRequest`, sends `reply`, and reports whether the library then
// closed the connection.
class ScriptedTerminal {
 public:
  ScriptedTerminal(std::vector<uint8_t> greeting, bool readRequest, std::vector<uint8_t> reply) {
    listener_ = Listen(kTerminal, port_);
    thread_ = std::thread([=, this] {
      int fd = accept(listener_, nullptr, nullptr);
      SendAll(fd, greeting);
      if (readRequest) {
        std::vector<uint8_t> request(termlink::kHeaderSize + 1718);
        recv(fd, request.data(), termlink::kHeaderSize, MSG_WAITALL);
        uint16_t length = static_cast<uint16_t>(request[16] | request[17] << 8);
        recv(fd, request.data(), length, MSG_WAITALL);
      }
      SendAll(fd, reply);
      closedByLibrary_ = SeesClose(fd);
      close(fd);
    });
  }
  ~ScriptedTerminal() {
    if (thread_.joinable()) thread_.join();
    close(listener_);
  }
  int port() const { return port_; }
  bool ClosedByLibrary() {
    thread_.join();
    return closedByLibrary_;
  }

 private:
  int listener_ = -1;
  int port_ = 0;
  bool closedByLibrary_ = false;
  std::thread thread_;
};

class FaultTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AnswerRecorder::Get().Reset();
    RegisterLibrary();
  }
  // Disconnects before the simulators stop, so that no connection of this
  // test is lost while the next one runs.
  void TearDown() override {
    Disconnect(kTerminal.c_str(), -1);
    simulators_.clear();
  }

  void Send(uint8_t code, uint16_t direction, std::vector<uint8_t> record) {
    ASSERT_NE(0, SendDataEx(Request(kTerminal, code, direction, record)));
  }
  SimulatorProcess& Start(std::vector<std::string> args) {
    simulators_.push_back(std::make_unique<SimulatorProcess>(std::move(args)));
    return *simulators_.back();
  }
  SimulatorProcess& StartAndConnect(std::vector<std::string> extra) {
    std::vector<std::string> args{"--listen", kTerminal + ":0"};
    args.insert(args.end(), extra.begin(), extra.end());
    SimulatorProcess& simulator = Start(args);
    EXPECT_EQ(1, AddConnection(kTerminal, simulator.port()));
    EXPECT_NE(0, Connect(kTerminal.c_str(), -1));
    return simulator;
  }

  std::vector<std::unique_ptr<SimulatorProcess>> simulators_;
};

TEST_F(FaultTest, ABadGreetingFailsTheConnect) {
  std::vector<uint8_t> wrongVersion = Frame(FrameType::kGreeting);
  wrongVersion[4] = 2;
  std::vector<uint8_t> notAGreeting = Frame(FrameType::kAnswer);
  for (const auto& greeting : {std::vector<uint8_t>(20, 'x'), wrongVersion, notAGreeting}) {
    ScriptedTerminal terminal(greeting, false, {});
    ASSERT_EQ(1, AddConnection(kTerminal, terminal.port(), 2000, 1));
    EXPECT_EQ(0, Connect(kTerminal.c_str(), -1));
    EXPECT_TRUE(terminal.ClosedByLibrary());
  }
}

TEST_F(FaultTest, MalformedAndUnexpectedAnswersCloseTheConnection) {
  std::vector<uint8_t> oversized = Frame(FrameType::kAnswer, kCodePlu, kDirectionWrite);
  oversized[16] = 0xB7;  // 1719 bytes announced: more than any record
  oversized[17] = 0x06;
  std::vector<uint8_t> plu(sizeof(PluRecord), 0);
  std::vector<uint8_t> barcode(sizeof(BarcodeRecord), 0);
  struct Case {
    const char* name;
    bool readRequest;
    std::vector<uint8_t> reply;
  } cases[] = {
      {"garbage", true, std::vector<uint8_t>(64, 0xEE)},
      {"oversized", true, oversized},
      {"answer without a request", false,
       Frame(FrameType::kAnswer, kCodePlu, kDirectionWrite, plu)},
      {"answer of another kind", true,
       Frame(FrameType::kAnswer, kCodeBarcode, kDirectionWrite, barcode)},
      {"answer of a wrong size", true,
       Frame(FrameType::kAnswer, kCodePlu, kDirectionWrite, barcode)},
      {"second greeting", true, Frame(FrameType::kGreeting)},
      {"request", true, Frame(FrameType::kRequest, kCodePlu, kDirectionWrite, plu)},
  };
  int losses = 0;
  for (const Case& c : cases) {
    ScriptedTerminal terminal(Frame(FrameType::kGreeting), c.readRequest, c.reply);
    ASSERT_EQ(1, AddConnection(kTerminal, terminal.port()));
    ASSERT_NE(0, Connect(kTerminal.c_str(), -1)) << c.name;
    if (c.readRequest) Send(kCodePlu, kDirectionWrite, FilledRecord(kCodePlu, 1, 1));
    EXPECT_TRUE(WaitForIsConnect(kTerminal, 0)) << c.name;
    EXPECT_TRUE(terminal.ClosedByLibrary()) << c.name;
    EXPECT_TRUE(AnswerRecorder::Get().WaitForLosses(++losses)) << c.name;
  }
  EXPECT_TRUE(AnswerRecorder::Get().Answers().empty());
}

TEST_F(FaultTest, TheSimulatorClosesOnMalformedRequestsAndServesOthers) {
  SimulatorProcess& simulator = Start({"--listen", kTerminal + ":0"});
  std::vector<uint8_t> oversized = Frame(FrameType::kRequest, kCodePlu, kDirectionWrite);
  oversized[16] = 0xFF;
  oversized[17] = 0xFF;
  std::vector<uint8_t> report(sizeof(ReportTotalRecord), 0);
  std::vector<uint8_t> barcode(sizeof(BarcodeRecord), 0);
  std::vector<std::vector<uint8_t>> bad = {
      std::vector<uint8_t>(40, 0xEE),
      oversized,
      Frame(FrameType::kRequest, kCodeReportTime, kDirectionWrite, report),  // not writable
      Frame(FrameType::kRequest, kCodePlu, kDirectionWrite, barcode),        // wrong size
      Frame(FrameType::kAnswer, kCodeBarcode, kDirectionWrite, barcode),     // not a request
  };
  for (const auto& bytes : bad) {
    int fd = Dial(kTerminal, simulator.port());
    ASSERT_GE(fd, 0);
    std::vector<uint8_t> greeting(termlink::kHeaderSize);
    ASSERT_EQ(ssize_t(greeting.size()), recv(fd, greeting.data(), greeting.size(), MSG_WAITALL));
    ASSERT_TRUE(SendAll(fd, bytes));
    EXPECT_TRUE(SeesClose(fd));
    close(fd);
  }
  ASSERT_EQ(1, AddConnection(kTerminal, simulator.port()));
  ASSERT_NE(0, Connect(kTerminal.c_str(), -1));
  std::vector<uint8_t> record = FilledRecord(kCodeBarcode, 4, 4);
  Send(kCodeBarcode, kDirectionWrite, record);
  ASSERT_TRUE(AnswerRecorder::Get().WaitForAnswers(1));
  EXPECT_EQ(record, AnswerRecorder::Get().Answers()[0].data);
}

TEST_F(FaultTest, RefuseMakesEveryConnectFail) {
  SimulatorProcess& simulator = Start({"--listen", kTerminal + ":0", "--refuse"});
  ASSERT_EQ(1, AddConnection(kTerminal, simulator.port(), 20000, 3));
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(0, Connect(kTerminal.c_str(), -1));
  EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);  // closed at once, not timed out
  EXPECT_EQ(0, IsConnect(kTerminal.c_str(), -1));
}

TEST_F(FaultTest, DropAfterStopsAnsweringButKeepsTheConnection) {
  SimulatorProcess simulator({"--listen", kTerminal + ":0", "--drop-after", "2", "--verbose"},
                             SimulatorProcess::StandardError::kKept);
  ASSERT_EQ(1, AddConnection(kTerminal, simulator.port()));
  ASSERT_NE(0, Connect(kTerminal.c_str(), -1));
  for (int number = 1; number <= 3; ++number) {
    Send(kCodePlu, kDirectionWrite, FilledRecord(kCodePlu, number, 1));
  }
  ASSERT_TRUE(AnswerRecorder::Get().WaitForAnswers(2));
  // The simulator says it dropped the third request; nothing answers it.
  EXPECT_FALSE(simulator.WaitForErrorLine("request dropped (--drop-after)", 20s).empty())
      << simulator.errorOutput();
  EXPECT_EQ(1, IsConnect(kTerminal.c_str(), -1));
  Disconnect(kTerminal.c_str(), -1);  // no answer is handed over after it
  EXPECT_EQ(AnswerRecorder::Get().Answers().size(), 2u);
}

TEST_F(FaultTest, CloseAfterClosesOnTheNextRequest) {
  StartAndConnect({"--close-after", "2"});
  for (int number = 1; number <= 2; ++number) {
    Send(kCodePlu, kDirectionWrite, FilledRecord(kCodePlu, number, 1));
  }
  ASSERT_TRUE(AnswerRecorder::Get().WaitForAnswers(2));
  EXPECT_EQ(1, IsConnect(kTerminal.c_str(), -1));
  Send(kCodePlu, kDirectionWrite, FilledRecord(kCodePlu, 3, 1));
  EXPECT_TRUE(WaitForIsConnect(kTerminal, 0));
  EXPECT_TRUE(AnswerRecorder::Get().WaitForLosses(1));
  EXPECT_EQ(2u, AnswerRecorder::Get().Answers().size());
}

TEST_F(FaultTest, GarbageAfterClosesTheConnectionOnTheLibrarySide) {
  StartAndConnect({"--garbage-after", "1"});
  Send(kCodeBarcode, kDirectionWrite, FilledRecord(kCodeBarcode, 1, 1));
  ASSERT_TRUE(AnswerRecorder::Get().WaitForAnswers(1));
  Send(kCodeBarcode, kDirectionWrite, FilledRecord(kCodeBarcode, 2, 1));
  EXPECT_TRUE(WaitForIsConnect(kTerminal, 0));
  EXPECT_TRUE(AnswerRecorder::Get().WaitForLosses(1));
  EXPECT_EQ(1u, AnswerRecorder::Get().Answers().size());
  std::vector<uint8_t> late = FilledRecord(kCodeBarcode, 3, 1);
  EXPECT_EQ(0, SendDataEx(Request(kTerminal, kCodeBarcode, kDirectionWrite, late)));
}

TEST_F(FaultTest, DelayHoldsBackEveryAnswer) {
  StartAndConnect({"--delay-ms", "150"});
  auto start = std::chrono::steady_clock::now();
  Send(kCodeIngredient, kDirectionWrite, FilledRecord(kCodeIngredient, 1, 1));
  Send(kCodeIngredient, kDirectionWrite, FilledRecord(kCodeIngredient, 2, 1));
  ASSERT_TRUE(AnswerRecorder::Get().WaitForAnswers(2));
  EXPECT_GE(std::chrono::steady_clock::now() - start, 300ms);
  std::vector<RecordedAnswer> answers = AnswerRecorder::Get().Answers();
  EXPECT_EQ(1, NumberOf(answers[0]));
  EXPECT_EQ(2, NumberOf(answers[1]));
}

// Uploads of PLU 1 to 5 from a simulator told to end after two records.
std::vector<RecordedAnswer> UploadWithEnd(const std::string& marker) {
  SimulatorProcess simulator(
      {"--listen", kTerminal + ":0", "--end-after", "2", "--end-with", marker});
  EXPECT_EQ(1, AddConnection(kTerminal, simulator.port()));
  EXPECT_NE(0, Connect(kTerminal.c_str(), -1));
  for (int number = 1; number <= 5; ++number) {
    std::vector<uint8_t> record = FilledRecord(kCodePlu, number, number);
    EXPECT_NE(0, SendDataEx(Request(kTerminal, kCodePlu, kDirectionWrite, record)));
  }
  for (int number = 1; number <= 3; ++number) {
    std::vector<uint8_t> ask = AskFor(kCodePlu, number);
    EXPECT_NE(0, SendDataEx(Request(kTerminal, kCodePlu, kDirectionRead, ask)));
  }
  EXPECT_TRUE(AnswerRecorder::Get().WaitForAnswers(8));
  Disconnect(kTerminal.c_str(), -1);
  std::vector<RecordedAnswer> answers = AnswerRecorder::Get().Answers();
  AnswerRecorder::Get().Reset();
  return std::vector<RecordedAnswer>(answers.begin() + 5, answers.end());
}

TEST_F(FaultTest, EndAfterEndsAnUploadWithTheChosenMarker) {
  std::vector<RecordedAnswer> reads = UploadWithEnd("99");
  ASSERT_EQ(3u, reads.size());
  EXPECT_EQ(1, NumberOf(reads[0]));
  EXPECT_EQ(2, NumberOf(reads[1]));
  EXPECT_EQ(0, NumberOf(reads[2]));
  EXPECT_EQ("99", StatusCode(reads[2]));

  reads = UploadWithEnd("95");
  ASSERT_EQ(3u, reads.size());
  EXPECT_EQ(0, NumberOf(reads[2]));
  EXPECT_EQ("95", StatusCode(reads[2]));
  // The marker carries record 3: its fields outside the number and text stay.
  std::vector<uint8_t> third = FilledRecord(kCodePlu, 3, 3);
  EXPECT_TRUE(std::equal(third.begin() + offsetof(PluRecord, Field6), third.end(),
                         reads[2].data.begin() + offsetof(PluRecord, Field6)));

  reads = UploadWithEnd("65535");
  ASSERT_EQ(3u, reads.size());
  std::vector<uint8_t> marked = FilledRecord(kCodePlu, 65535, 3);
  EXPECT_EQ(marked, reads[2].data);
}

TEST_F(FaultTest, TheStoreSurvivesARestartAndCanBeDumped) {
  TempFolder folder;
  std::string store = folder.File("store");
  std::vector<uint8_t> barcode(sizeof(BarcodeRecord), 0);
  BarcodeRecord record{};
  record.Number = 12;
  record.Field2 = 200;
  record.Field3 = 3;
  std::strcpy(record.Text1, "4001234567890");
  std::strcpy(record.Text2, "Apples, red");
  std::memcpy(barcode.data(), &record, sizeof record);
  {
    SimulatorProcess& simulator = StartAndConnect({"--store", store});
    Send(kCodeBarcode, kDirectionWrite, barcode);
    Send(kCodePlu, kDirectionWrite, FilledRecord(kCodePlu, 9, 9));
    ASSERT_TRUE(AnswerRecorder::Get().WaitForAnswers(2));
    Disconnect(kTerminal.c_str(), -1);
    simulator.Stop();
    EXPECT_EQ(0, simulator.exitCode());
  }
  AnswerRecorder::Get().Reset();
  StartAndConnect({"--store", store});
  Send(kCodeBarcode, kDirectionRead, AskFor(kCodeBarcode, 1));
  Send(kCodePlu, kDirectionRead, AskFor(kCodePlu, 1));
  ASSERT_TRUE(AnswerRecorder::Get().WaitForAnswers(2));
  EXPECT_EQ(barcode, AnswerRecorder::Get().Answers()[0].data);
  EXPECT_EQ(FilledRecord(kCodePlu, 9, 9), AnswerRecorder::Get().Answers()[1].data);

  std::string output;
  EXPECT_EQ(0, SimulatorProcess::Run({"--dump", kTerminal, "--store", store, "--kind", "barcode"},
                                     output));
  EXPECT_EQ("12\t200\t3\t4001234567890\tApples, red\n", output);
  EXPECT_NE(0, SimulatorProcess::Run({"--dump", "127.0.0.99", "--store", store, "--kind", "plu"},
                                     output));
}

TEST_F(FaultTest, AnAcknowledgedRecordIsStoredEvenWhenTheSimulatorIsKilled) {
  TempFolder folder;
  std::string store = folder.File("store");
  SimulatorProcess& killed = StartAndConnect({"--store", store});
  std::vector<uint8_t> plu = FilledRecord(kCodePlu, 77, 1);
  Send(kCodePlu, kDirectionWrite, plu);
  ASSERT_TRUE(AnswerRecorder::Get().WaitForAnswers(1));
  killed.Kill();
  Disconnect(kTerminal.c_str(), -1);
  AnswerRecorder::Get().Reset();

  StartAndConnect({"--store", store});
  Send(kCodePlu, kDirectionRead, AskFor(kCodePlu, 1));
  ASSERT_TRUE(AnswerRecorder::Get().WaitForAnswers(1));
  EXPECT_EQ(plu, AnswerRecorder::Get().Answers()[0].data);
}

// Records stored and some deleted through the library: after the simulator
// is killed and started again, a read and a dump of its store show the
// deleted ones gone and the others kept; the simulator logs each deletion.
TEST_F(FaultTest, DeletedRecordsStayDeletedAcrossAKill) {
  TempFolder folder;
  std::string store = folder.File("store");
  {
    SimulatorProcess killed({"--listen", kTerminal + ":0", "--store", store, "--verbose"},
                            SimulatorProcess::StandardError::kKept);
    ASSERT_EQ(1, AddConnection(kTerminal, killed.port()));
    ASSERT_NE(0, Connect(kTerminal.c_str(), -1));
    for (int number = 1; number <= 4; ++number) {
      // Zero but for the number: a dump prints one plain line per record.
      Send(kCodeBarcode, kDirectionWrite, AskFor(kCodeBarcode, number));
    }
    for (int number : {2, 4}) Send(kCodeBarcode, kDirectionDelete, AskFor(kCodeBarcode, number));
    ASSERT_TRUE(AnswerRecorder::Get().WaitForAnswers(6));
    EXPECT_EQ(4, NumberOf(AnswerRecorder::Get().Answers()[5]));
    EXPECT_FALSE(killed.WaitForErrorLine("request barcode delete 4", 20s).empty())
        << killed.errorOutput();
    killed.Kill();
    Disconnect(kTerminal.c_str(), -1);
  }
  AnswerRecorder::Get().Reset();
  StartAndConnect({"--store", store});
  for (int number : {1, 2, 4}) Send(kCodeBarcode, kDirectionRead, AskFor(kCodeBarcode, number));
  ASSERT_TRUE(AnswerRecorder::Get().WaitForAnswers(3));
  std::vector<RecordedAnswer> reads = AnswerRecorder::Get().Answers();
  EXPECT_EQ(1, NumberOf(reads[0]));
  EXPECT_EQ(3, NumberOf(reads[1]));  // 2 is gone: the next one
  EXPECT_EQ("99", StatusCode(reads[2]));

  std::string output;
  ASSERT_EQ(0, SimulatorProcess::Run({"--dump", kTerminal, "--store", store, "--kind", "barcode"},
                                     output));
  EXPECT_EQ(2, std::count(output.begin(), output.end(), '\n')) << output;
  EXPECT_EQ(0u, output.find("1\t"));
  EXPECT_NE(std::string::npos, output.find("\n3\t"));
}

}  // namespace
