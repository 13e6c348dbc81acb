#include "termsim/raw_client.h"

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>
#include <string>

#include "termlink/wire_codec.h"

RawClient::RawClient(int port, int receiveBuffer) {
  fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd_ < 0) throw std::runtime_error("cannot make a socket");
  if (receiveBuffer > 0) {
    setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
  }
  sockaddr_in where{};
  where.sin_family = AF_INET;
  where.sin_port = htons(static_cast<uint16_t>(port));
  where.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  while (connect(fd_, reinterpret_cast<sockaddr*>(&where), sizeof where) != 0) {
    if (errno != EINTR) {
      close(fd_);
      throw std::runtime_error("cannot connect to 127.0.0.1:" + std::to_string(port));
    }
  }
}

RawClient::~RawClient() {
  close(fd_);
}

bool RawClient::SendAll(std::span<const uint8_t> bytes, int& error,
                        std::chrono::milliseconds timeout) {
  while (!bytes.empty()) {
    pollfd entry{fd_, POLLOUT, 0};
    int ready = poll(&entry, 1, static_cast<int>(timeout.count()));
    if (ready == 0) {
      error = ETIMEDOUT;
      return false;
    }
    ssize_t n = send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)) continue;
    if (n <= 0) {
      error = errno;
      return false;
    }
    bytes = bytes.subspan(static_cast<size_t>(n));
  }
  return true;
}

void RawClient::EndSending() {
  shutdown(fd_, SHUT_WR);
}

RawClient::Received RawClient::ReadToEnd(std::chrono::milliseconds timeout) {
  Received received;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  uint8_t chunk[16384];
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd entry{fd_, POLLIN, 0};
    if (poll(&entry, 1, 50) <= 0) continue;
    ssize_t n = recv(fd_, chunk, sizeof chunk, 0);
    if (n > 0) {
      received.bytes.insert(received.bytes.end(), chunk, chunk + n);
    } else if (n == 0) {
      received.ended = true;
      break;
    } else if (errno != EINTR) {
      received.error = errno;
      break;
    }
  }
  return received;
}

bool RawClient::ReadGreeting(std::chrono::milliseconds timeout) {
  uint8_t header[termlink::kHeaderSize];
  size_t have = 0;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (have < sizeof header && std::chrono::steady_clock::now() < deadline) {
    pollfd entry{fd_, POLLIN, 0};
    if (poll(&entry, 1, 50) <= 0) continue;
    ssize_t n = recv(fd_, header + have, sizeof header - have, 0);
    if (n <= 0) return false;
    have += static_cast<size_t>(n);
  }
  std::string error;
  auto decoded =
      termlink::DecodeHeader(std::span<const uint8_t, termlink::kHeaderSize>(header), error);
  return have == sizeof header && decoded && decoded->type == termlink::FrameType::kGreeting;
}

std::vector<uint8_t> RequestFrame(uint8_t code, uint16_t direction, int64_t number) {
  const termlink::RecordKind& kind = *termlink::FindRecordKind(code);
  std::vector<uint8_t> record(kind.size, 0);
  termlink::SetRecordNumber(kind, record, number);
  termlink::FrameHeader header;
  header.type = termlink::FrameType::kRequest;
  header.code = code;
  header.direction = direction;
  header.dataLength = kind.size;
  std::vector<uint8_t> frame;
  termlink::AppendFrame(frame, header, record.data());
  return frame;
}

std::vector<int64_t> AnsweredNumbers(std::span<const uint8_t> bytes, size_t& rest) {
  std::vector<int64_t> numbers;
  std::string error;
  bool greeted = false;
  while (bytes.size() >= termlink::kHeaderSize) {
    auto header = termlink::DecodeHeader(bytes.first<termlink::kHeaderSize>(), error);
    if (!header || bytes.size() < termlink::kHeaderSize + header->dataLength) break;
    auto record = bytes.subspan(termlink::kHeaderSize, header->dataLength);
    if (greeted && header->type == termlink::FrameType::kAnswer) {
      numbers.push_back(termlink::RecordNumber(*termlink::FindRecordKind(header->code), record));
    }
    greeted = true;
    bytes = bytes.subspan(termlink::kHeaderSize + header->dataLength);
  }
  rest = bytes.size();
  return numbers;
}
