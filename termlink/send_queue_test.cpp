// The library's send queue: a terminal that stops reading fills the socket,
// the rest of every request waits in the queue while SendDataEx returns, and
// the terminal gets every byte in order once it reads again; a Disconnect
// ends a connection whose writes are stuck.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <future>
#include <thread>

#include "records/records.h"
#include "termlink/link_test_support.h"
#include "termlink/termlink.h"
#include "termlink/wire_codec.h"

namespace {

const std::string kTerminal = "127.0.0.5";

// More request bytes than the largest send buffer the kernel grants (4 MiB)
// and the terminal's small receive buffer hold together, so that the
// library's writes go partial and the rest waits in its queue.
constexpr int kRequests = 3000;
constexpr int kTerminalReceiveBuffer = 4096;

// A terminal that greets, then reads nothing until `ReadAgain`; it then
// reads frames until `count` have arrived.
class StalledTerminal {
 public:
  explicit StalledTerminal(int count) {
    listener_ = Listen(kTerminal, port_, kTerminalReceiveBuffer);
    thread_ = std::thread([this, count, readAgain = readAgain_.get_future()] {
      fd_ = accept(listener_, nullptr, nullptr);
      const std::vector<uint8_t> greeting = Greeting();
      send(fd_, greeting.data(), greeting.size(), MSG_NOSIGNAL);
      readAgain.wait();
      ReadFrames(count);
    });
  }
  ~StalledTerminal() {
    ReadAgain();
    if (thread_.joinable()) thread_.join();
    close(fd_);
    close(listener_);
  }
  int port() const { return port_; }
  void ReadAgain() {
    if (!released_) readAgain_.set_value();
    released_ = true;
  }
  // The frames read, once the reading has ended.
  const std::vector<std::pair<termlink::FrameHeader, std::vector<uint8_t>>>& Frames() {
    if (thread_.joinable()) thread_.join();
    return frames_;
  }

 private:
  // Stops early at the end of the stream, or when nothing came for 10 s
  // (requests lost on the way), so that a loss fails instead of hanging.
  void ReadFrames(int count) {
    timeval silence{10, 0};
    setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &silence, sizeof silence);
    termlink::FrameReader reader;
    termlink::Frame frame;
    while (static_cast<int>(frames_.size()) < count) {
      std::span<uint8_t> space = reader.Space();
      ssize_t n = recv(fd_, space.data(), space.size(), 0);
      if (n <= 0) return;
      reader.Commit(static_cast<size_t>(n));
      while (reader.Next(frame) == termlink::FrameReader::Result::kFrame) {
        frames_.emplace_back(frame.header,
                             std::vector<uint8_t>(frame.data.begin(), frame.data.end()));
      }
    }
  }

  int listener_ = -1;
  int fd_ = -1;
  int port_ = 0;
  bool released_ = false;
  std::promise<void> readAgain_;
  std::thread thread_;
  std::vector<std::pair<termlink::FrameHeader, std::vector<uint8_t>>> frames_;
};

class SendQueue : public ::testing::Test {
 protected:
  void SetUp() override {
    AnswerRecorder::Get().Reset();
    RegisterLibrary();
  }
  void TearDown() override { Disconnect(kTerminal.c_str(), -1); }

  // Connects to `terminal` and sends it kRequests PLU records numbered from 1;
  // every SendDataEx must take its request although nothing is read.
  void Flood(StalledTerminal& terminal) {
    ASSERT_EQ(1, AddConnection(kTerminal, terminal.port()));
    ASSERT_NE(0, Connect(kTerminal.c_str(), -1));
    for (int number = 1; number <= kRequests; ++number) {
      std::vector<uint8_t> record = FilledRecord(kCodePlu, number, number);
      ASSERT_NE(0, SendDataEx(Request(kTerminal, kCodePlu, kDirectionWrite, record))) << number;
    }
  }
};

TEST_F(SendQueue, ATerminalThatReadsAgainGetsEveryRequestWholeAndInOrder) {
  StalledTerminal terminal(kRequests);
  Flood(terminal);
  EXPECT_EQ(1, IsConnect(kTerminal.c_str(), -1));
  terminal.ReadAgain();
  const auto& frames = terminal.Frames();
  ASSERT_EQ(frames.size(), static_cast<size_t>(kRequests));
  for (int number = 1; number <= kRequests; ++number) {
    const auto& [header, data] = frames[static_cast<size_t>(number - 1)];
    ASSERT_EQ(header.code, kCodePlu) << number;
    ASSERT_EQ(header.direction, kDirectionWrite) << number;
    ASSERT_EQ(data, FilledRecord(kCodePlu, number, number)) << number;
  }
  EXPECT_EQ(1, IsConnect(kTerminal.c_str(), -1));
  EXPECT_EQ(0, AnswerRecorder::Get().Losses());
}

TEST_F(SendQueue, ADisconnectEndsAConnectionWhoseWritesAreStuck) {
  StalledTerminal terminal(kRequests);
  Flood(terminal);
  EXPECT_NE(0, Disconnect(kTerminal.c_str(), -1));
  EXPECT_EQ(0, IsConnect(kTerminal.c_str(), -1));
  terminal.ReadAgain();
  // The terminal reads what had left the library, then the end of the stream.
  EXPECT_LT(terminal.Frames().size(), static_cast<size_t>(kRequests));
  EXPECT_EQ(0, AnswerRecorder::Get().Losses());  // a Disconnect is no loss
}

}  // namespace
