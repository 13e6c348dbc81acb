#include "termlink/dialer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "termlink/wire_codec.h"

namespace termlink {
namespace {

using Clock = std::chrono::steady_clock;

struct Target {
  sockaddr_storage address{};
  socklen_t length = 0;
  int family = 0;
};

bool ParseTarget(const std::string& text, int port, Target& target) {
  auto* v4 = reinterpret_cast<sockaddr_in*>(&target.address);
  if (inet_pton(AF_INET, text.c_str(), &v4->sin_addr) == 1) {
    v4->sin_family = AF_INET;
    v4->sin_port = htons(static_cast<uint16_t>(port));
    target.length = sizeof(sockaddr_in);
    target.family = AF_INET;
    return true;
  }
  auto* v6 = reinterpret_cast<sockaddr_in6*>(&target.address);
  if (inet_pton(AF_INET6, text.c_str(), &v6->sin6_addr) == 1) {
    v6->sin6_family = AF_INET6;
    v6->sin6_port = htons(static_cast<uint16_t>(port));
    target.length = sizeof(sockaddr_in6);
    target.family = AF_INET6;
    return true;
  }
  return false;
}

// Waits until `fd` is ready for `events` or the deadline passes.
bool WaitFor(int fd, short events, Clock::time_point deadline) {
  for (;;) {
    auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return false;
    pollfd entry{fd, events, 0};
    int ready = poll(&entry, 1, static_cast<int>(left));
    if (ready > 0) return true;
    if (ready < 0 && errno != EINTR) return false;
  }
}

bool ReadGreeting(int fd, Clock::time_point deadline, std::string& error) {
  uint8_t bytes[kHeaderSize];
  size_t got = 0;
  while (got < kHeaderSize) {
    if (!WaitFor(fd, POLLIN, deadline)) {
      error = "no greeting from the terminal in time";
      return false;
    }
    ssize_t n = recv(fd, bytes + got, kHeaderSize - got, 0);
    if (n == 0) {
      error = "the terminal closed the connection";
      return false;
    }
    if (n < 0) {
      if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) continue;
      error = std::strerror(errno);
      return false;
    }
    got += static_cast<size_t>(n);
  }
  std::optional<FrameHeader> header =
      DecodeHeader(std::span<const uint8_t, kHeaderSize>(bytes), error);
  if (!header) return false;
  if (header->type != FrameType::kGreeting || header->dataLength != 0) {
    error = "the terminal did not greet";
    return false;
  }
  return true;
}

int DialOnce(const Target& target, int timeoutMs, std::string& error) {
  Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  int fd = socket(target.family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    error = std::strerror(errno);
    return -1;
  }
  int failure = 0;
  if (connect(fd, reinterpret_cast<const sockaddr*>(&target.address), target.length) < 0) {
    if (errno != EINPROGRESS) {
      failure = errno;
    } else if (!WaitFor(fd, POLLOUT, deadline)) {
      failure = ETIMEDOUT;
    } else {
      socklen_t size = sizeof failure;
      getsockopt(fd, SOL_SOCKET, SO_ERROR, &failure, &size);
    }
  }
  if (failure != 0) {
    error = std::strerror(failure);
    close(fd);
    return -1;
  }
  int on = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  if (!ReadGreeting(fd, deadline, error)) {
    close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

DialResult Dial(const std::string& address, int port, int timeoutMs, int attempts) {
  DialResult result;
  Target target;
  if (!ParseTarget(address, port, target)) {
    result.error = "'" + address + "' is not a numeric IP address";
    return result;
  }
  for (int attempt = 0; attempt < attempts && result.fd < 0; ++attempt) {
    result.fd = DialOnce(target, timeoutMs, result.error);
  }
  if (result.fd >= 0) result.error.clear();
  return result;
}

}  // namespace termlink
