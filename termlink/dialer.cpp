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
  int timeoutMs;
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

const LinkFailure kCancelled{TERMLINK_CANCELLED, "cancelled by Disconnect"};

LinkFailure SystemFailure(int error) {
  if (error == ECONNREFUSED) return {TERMLINK_REFUSED, "connection refused"};
  if (error == ECONNRESET) return {TERMLINK_CLOSED, "reset by the terminal"};
  return {TERMLINK_SYSTEM, std::strerror(error)};
}

LinkFailure TimedOut(const char* what, const Attempt& attempt) {
  return {TERMLINK_NO_GREETING,
          std::string("no ") + what + " within " + std::to_string(attempt.timeoutMs) + " ms"};
}

bool ReadGreeting(int fd, const Attempt& attempt, LinkFailure& failure) {
  uint8_t bytes[kHeaderSize];
  size_t got = 0;
  while (got < kHeaderSize) {
    const Wait wait = WaitFor(fd, POLLIN, attempt);
    if (wait != Wait::kReady) {
      failure = wait == Wait::kCancelled ? kCancelled : TimedOut("greeting", attempt);
      return false;
    }
    ssize_t n = recv(fd, bytes + got, kHeaderSize - got, 0);
    if (n == 0) {
      failure = {TERMLINK_CLOSED, "closed by the terminal before its greeting"};
      return false;
    }
    if (n < 0) {
      if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) continue;
      failure = SystemFailure(errno);
      return false;
    }
    got += static_cast<size_t>(n);
  }
  std::string error;
  std::optional<FrameHeader> header =
      DecodeHeader(std::span<const uint8_t, kHeaderSize>(bytes), error);
  if (!header) {
    failure = {TERMLINK_PROTOCOL, "bad greeting: " + error};
    return false;
  }
  if (header->type != FrameType::kGreeting || header->dataLength != 0) {
    failure = {TERMLINK_PROTOCOL, "the terminal did not greet"};
    return false;
  }
  return true;
}

int DialOnce(const Target& target, const Attempt& attempt, LinkFailure& failure) {
  int fd = socket(target.family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    failure = SystemFailure(errno);
    return -1;
  }
  int error = 0;
  if (connect(fd, reinterpret_cast<const sockaddr*>(&target.address), target.length) < 0) {
    if (errno != EINPROGRESS) {
      error = errno;
    } else {
      switch (WaitFor(fd, POLLOUT, attempt)) {
        case Wait::kReady: {
          socklen_t size = sizeof error;
          getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size);
          break;
        }
        case Wait::kTimedOut:
          failure = TimedOut("answer", attempt);
          close(fd);
          return -1;
        case Wait::kCancelled:
          failure = kCancelled;
          close(fd);
          return -1;
      }
    }
  }
  if (error != 0) {
    failure = SystemFailure(error);
    close(fd);
    return -1;
  }
  int on = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  if (!ReadGreeting(fd, attempt, failure)) {
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
    result.failure = {TERMLINK_SETUP, "'" + address + "' is not a numeric IP address"};
    return result;
  }
  for (int attempt = 0;
       attempt < attempts && result.fd < 0 && result.failure.code != TERMLINK_CANCELLED;
       ++attempt) {
    const Attempt one{Clock::now() + std::chrono::milliseconds(timeoutMs), timeoutMs, cancel};
    result.fd = DialOnce(target, one, result.failure);
  }
  if (result.fd >= 0) result.failure = {};
  return result;
}

}  // namespace termlink
