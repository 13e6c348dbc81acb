#include "termlink/dialer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
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

struct Attempt {
  Clock::time_point deadline;
  int cancel;  // readable once the dial is cancelled, or -1
};

enum class Wait { kReady, kTimedOut, kCancelled };

// Waits until `fd` is ready for `events`, the deadline passes (or the wait
// fails) or the dial is cancelled.
Wait WaitFor(int fd, short events, const Attempt& attempt) {
  for (;;) {
    auto left =
        std::chrono::ceil<std::chrono::milliseconds>(attempt.deadline - Clock::now()).count();
    if (left <= 0) return Wait::kTimedOut;
    pollfd entries[2] = {{fd, events, 0}, {attempt.cancel, POLLIN, 0}};
    int ready = poll(entries, attempt.cancel < 0 ? 1 : 2, static_cast<int>(left));
    if (ready > 0) return entries[1].revents != 0 ? Wait::kCancelled : Wait::kReady;
    if (ready < 0 && errno != EINTR) return Wait::kTimedOut;
  }
}

constexpr const char* kCancelled = "cancelled by Disconnect";

bool ReadGreeting(int fd, const Attempt& attempt, std::string& error) {
  uint8_t bytes[kHeaderSize];
  size_t got = 0;
  while (got < kHeaderSize) {
    const Wait wait = WaitFor(fd, POLLIN, attempt);
    if (wait != Wait::kReady) {
      error = wait == Wait::kCancelled ? kCancelled : "no greeting from the terminal in time";
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

int DialOnce(const Target& target, const Attempt& attempt, std::string& error) {
  int fd = socket(target.family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    error = std::strerror(errno);
    return -1;
  }
  int failure = 0;
  if (connect(fd, reinterpret_cast<const sockaddr*>(&target.address), target.length) < 0) {
    if (errno != EINPROGRESS) {
      failure = errno;
    } else {
      switch (WaitFor(fd, POLLOUT, attempt)) {
        case Wait::kReady: {
          socklen_t size = sizeof failure;
          getsockopt(fd, SOL_SOCKET, SO_ERROR, &failure, &size);
          break;
        }
        case Wait::kTimedOut:
          failure = ETIMEDOUT;
          break;
        case Wait::kCancelled:
          error = kCancelled;
          close(fd);
          return -1;
      }
    }
  }
  if (failure != 0) {
    error = std::strerror(failure);
    close(fd);
    return -1;
  }
  int on = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  if (!ReadGreeting(fd, attempt, error)) {
    close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

DialCancel::DialCancel() : fd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

DialCancel::~DialCancel() {
  if (fd_ >= 0) close(fd_);
}

void DialCancel::Cancel() {
  cancelled_ = true;
  if (fd_ >= 0) eventfd_write(fd_, 1);
}

DialResult Dial(const std::string& address, int port, int timeoutMs, int attempts, int cancel) {
  DialResult result;
  Target target;
  if (!ParseTarget(address, port, target)) {
    result.error = "'" + address + "' is not a numeric IP address";
    return result;
  }
  for (int attempt = 0; attempt < attempts && result.fd < 0 && result.error != kCancelled;
       ++attempt) {
    const Attempt one{Clock::now() + std::chrono::milliseconds(timeoutMs), cancel};
    result.fd = DialOnce(target, one, result.error);
  }
  if (result.fd >= 0) result.error.clear();
  return result;
}

}  // namespace termlink
