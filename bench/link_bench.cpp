// Round trips per second of a 1718-byte PLU write and its acknowledgment
// through libtermlink.so and orlent-termsim on loopback, against the floor
// of this machine: a plain blocking TCP ping-pong of the same frame sizes
// between two processes. Each is measured in several alternating rounds and
// the best round of each counts, so that a busy moment of the machine does
// not decide the ratio.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include "records/records.h"
#include "termlink/termlink.h"
#include "termlink/wire_codec.h"
#include "termsim/simulator_process.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kAddress = "127.0.0.1";
constexpr size_t kFrameSize = termlink::kHeaderSize + sizeof(PluRecord);
constexpr int kRoundTrips = 20000;
constexpr int kRounds = 5;

// --- the plain ping-pong -------------------------------------------------

bool ReadExactly(int fd, uint8_t* bytes, size_t size) {
  while (size > 0) {
    ssize_t n = recv(fd, bytes, size, 0);
    if (n <= 0) return false;
    bytes += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool WriteExactly(int fd, const uint8_t* bytes, size_t size) {
  while (size > 0) {
    ssize_t n = send(fd, bytes, size, MSG_NOSIGNAL);
    if (n <= 0) return false;
    bytes += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

void NoDelay(int fd) {
  int on = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

// Forks a process that answers every frame with a frame of the same size,
// one connection after another. Returns its pid and sets `port`.
pid_t StartEchoProcess(int& port) {
  int listener = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in where{};
  where.sin_family = AF_INET;
  inet_pton(AF_INET, kAddress, &where.sin_addr);
  if (bind(listener, reinterpret_cast<sockaddr*>(&where), sizeof where) != 0 ||
      listen(listener, 4) != 0) {
    throw std::runtime_error("cannot listen for the ping-pong");
  }
  socklen_t size = sizeof where;
  getsockname(listener, reinterpret_cast<sockaddr*>(&where), &size);
  port = ntohs(where.sin_port);
  pid_t pid = fork();
  if (pid == 0) {
    prctl(PR_SET_PDEATHSIG, SIGTERM);  // ends with the bench, however that ends
    std::vector<uint8_t> frame(kFrameSize);
    for (;;) {
      int fd = accept(listener, nullptr, nullptr);
      NoDelay(fd);
      while (ReadExactly(fd, frame.data(), frame.size()) &&
             WriteExactly(fd, frame.data(), frame.size())) {
      }
      close(fd);
    }
  }
  close(listener);
  return pid;
}

double PingPongRate(int port) {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in where{};
  where.sin_family = AF_INET;
  where.sin_port = htons(static_cast<uint16_t>(port));
  inet_pton(AF_INET, kAddress, &where.sin_addr);
  if (connect(fd, reinterpret_cast<sockaddr*>(&where), sizeof where) != 0) {
    throw std::runtime_error("cannot connect for the ping-pong");
  }
  NoDelay(fd);
  std::vector<uint8_t> frame(kFrameSize, 0x42);
  auto start = Clock::now();
  for (int i = 0; i < kRoundTrips; ++i) {
    if (!WriteExactly(fd, frame.data(), frame.size()) ||
        !ReadExactly(fd, frame.data(), frame.size())) {
      throw std::runtime_error("the ping-pong broke off");
    }
  }
  double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  close(fd);
  return kRoundTrips / seconds;
}

// --- through the link library ---------------------------------------------

std::mutex doneMutex;
std::condition_variable doneChanged;
std::atomic<int> remaining{0};
std::vector<uint8_t> pluRecord(sizeof(PluRecord));

RequestPacket PluWrite() {
  RequestPacket packet{};
  packet.Id = -1;
  packet.Address = kAddress;
  packet.Channel = 1;
  packet.Code = kCodePlu;
  packet.InterpreterGroup = 100;
  packet.InterpreterId = 5010;
  packet.Direction = kDirectionWrite;
  packet.DataLength = sizeof(PluRecord);
  packet.Data = pluRecord.data();
  return packet;
}

// As the program does: the next request goes out from inside the callback.
int SendNext(RequestPacket answer) {
  if (answer.Code != kCodePlu || answer.Direction != kDirectionWrite) std::abort();
  if (remaining.fetch_sub(1) > 1) {
    if (SendDataEx(PluWrite()) == 0) std::abort();
    return 1;
  }
  std::lock_guard lock(doneMutex);
  doneChanged.notify_all();
  return 1;
}

double LinkRate() {
  remaining = kRoundTrips;
  auto start = Clock::now();
  if (SendDataEx(PluWrite()) == 0) throw std::runtime_error("SendDataEx refused the request");
  std::unique_lock lock(doneMutex);
  if (!doneChanged.wait_for(lock, std::chrono::seconds(120), [] { return remaining <= 0; })) {
    throw std::runtime_error("the link round trips did not finish");
  }
  double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  return kRoundTrips / seconds;
}

void ConnectLink(int port) {
  SetCommLibrary(1, "TLTCPIP.DLL");
  AddInterpreter(100, 5010, "Interp5010.dll");
  if (AddProcConnection(1, kAddress, port, 100, 5010, 5000, 3, kCodePlu, &SendNext, nullptr) == 0 ||
      Connect(kAddress, -1) == 0) {
    throw std::runtime_error("cannot connect the link library to orlent-termsim");
  }
  PluRecord record{};
  record.Field1 = 1;
  record.PluNo = 1;
  std::strcpy(record.Text, "Benchmark PLU");
  std::memcpy(pluRecord.data(), &record, sizeof record);
}

}  // namespace

int main() {
  try {
    int echoPort = 0;
    pid_t echo = StartEchoProcess(echoPort);  // forked before the library starts its thread
    SimulatorProcess simulator({"--listen", std::string(kAddress) + ":0"});
    ConnectLink(simulator.port());
    LinkRate();  // warm-up of both sides
    PingPongRate(echoPort);
    double bestLink = 0, bestPlain = 0;
    for (int round = 0; round < kRounds; ++round) {
      bestLink = std::max(bestLink, LinkRate());
      bestPlain = std::max(bestPlain, PingPongRate(echoPort));
    }
    Disconnect(kAddress, -1);
    kill(echo, SIGTERM);
    waitpid(echo, nullptr, 0);
    std::printf("PLU write and acknowledgment, %zu-byte frames each way, best of %d rounds of %d\n",
                kFrameSize, kRounds, kRoundTrips);
    std::printf("termlink + orlent-termsim: %10.0f round trips/s\n", bestLink);
    std::printf("plain TCP ping-pong:       %10.0f round trips/s\n", bestPlain);
    std::printf("ratio:                     %10.2f (goal: at least 0.80)\n", bestLink / bestPlain);
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "link_bench: %s\n", error.what());
    return 1;
  }
}
