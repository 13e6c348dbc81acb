// The terminal side of the wire: bytes from a library, as a connection to
// the simulator on loopback receives them, answered by the simulator's own
// session with the faults that the first two input bytes choose.
//
// Checks: the connection opens with the greeting; each request up to the
// first bad frame gets exactly one answer, in order, with the request's
// fields and its kind's record size, until the chosen fault stops the
// answers; a write is echoed when memory has room and refused with the
// "memory full" status when not; a read answers the record asked for, or
// the next higher one, or the "99" end, as a model of the terminal's memory
// says; reports keep to their ranges; the malformed frame of the garbage
// fault comes exactly where it is due.
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include <asio/io_context.hpp>
#include <asio/ip/tcp.hpp>

#include "fuzz/fuzz_support.h"
#include "records/records.h"
#include "termlink/record_table.h"
#include "termlink/wire_codec.h"
#include "termsim/session.h"
#include "termsim/store_file.h"
#include "termsim/terminal.h"
#include "termsim/terminal_memory.h"

namespace {

using termlink::Frame;
using termlink::FrameHeader;
using termlink::FrameReader;
using termlink::FrameType;
using termlink::RecordKind;
using Bytes = std::vector<uint8_t>;

struct Request {
  FrameHeader header;
  Bytes record;
};

// The requests the session acts on: those before the first frame it must
// refuse.
std::vector<Request> ValidRequests(std::span<const uint8_t> bytes) {
  FrameReader reader;
  std::vector<Request> requests;
  while (!bytes.empty()) {
    auto space = reader.Space();
    const std::size_t count = std::min(space.size(), bytes.size());
    std::copy_n(bytes.begin(), count, space.begin());
    reader.Commit(count);
    bytes = bytes.subspan(count);
    Frame frame;
    for (FrameReader::Result r; (r = reader.Next(frame)) != FrameReader::Result::kNeedMore;) {
      if (r == FrameReader::Result::kBad || frame.header.type != FrameType::kRequest ||
          !termlink::CheckRecordFields(frame.header.code, frame.header.direction,
                                       frame.header.dataLength)
               .empty()) {
        return requests;
      }
      requests.push_back({frame.header, Bytes(frame.data.begin(), frame.data.end())});
    }
  }
  return requests;
}

struct Faults {
  FaultOptions options;
  uint32_t capacity = 1;
};

Faults ChooseFaults(uint8_t a, uint8_t b) {
  Faults f;
  const uint64_t n = (a >> 2) & 7;
  switch (a & 3) {
    case 1:
      f.options.dropAfter = n;
      break;
    case 2:
      f.options.closeAfter = n;
      break;
    case 3:
      f.options.garbageAfter = n;
      break;
  }
  const uint32_t markers[] = {0, 95, 99, 65535};
  if (const uint32_t marker = markers[(a >> 5) & 3]) {
    f.options.endAfter = (b >> 4) & 7;
    f.options.endWith = marker;
  }
  f.options.delayMs = (b & 0x80) ? 1 : 0;
  f.capacity = 1 + (b & 7);
  return f;
}

// The simulator's listener and this process's connection to it.
struct Loopback {
  asio::io_context io;
  asio::ip::tcp::acceptor acceptor{io, {asio::ip::address_v4::loopback(), 0}};

  // Serves one connection that receives `input`, then returns all it sent back.
  Bytes Serve(const Faults& faults, std::span<const uint8_t> input) {
    TerminalMemory memory("", faults.capacity);
    Terminal terminal("127.0.0.1", memory);
    const int client = Connect();
    std::make_shared<Session>(acceptor.accept(), terminal, faults.options, false)->Start();
    SendAll(client, input);
    shutdown(client, SHUT_WR);
    Bytes received;
    bool open = true;
    // The session must be done before its terminal goes out of scope.
    io.restart();
    while (!io.stopped()) {
      if (open) open = Drain(client, received);
      io.run_one_for(std::chrono::milliseconds(5));
    }
    // The session has closed its end: read up to the end of the stream.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (open) {
      FUZZ_CHECK(std::chrono::steady_clock::now() < deadline, "the connection stays open");
      pollfd entry{client, POLLIN, 0};
      poll(&entry, 1, 100);  // a signal that cuts the wait short does no harm
      open = Drain(client, received);
    }
    close(client);
    return received;
  }

  // A connection to the listener from a fresh source address. libFuzzer's
  // timer signal may cut a blocking call short; the call is then finished.
  int Connect() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    BindToNextSource(fd);
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_port = htons(acceptor.local_endpoint().port());
    where.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<sockaddr*>(&where), sizeof where) != 0) {
      FUZZ_CHECK(errno == EINTR, std::string("connect to the listener: ") + std::strerror(errno));
      pollfd entry{fd, POLLOUT, 0};
      while (poll(&entry, 1, 1000) < 0 && errno == EINTR) {
      }
      int error = 0;
      socklen_t size = sizeof error;
      getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size);
      FUZZ_CHECK(error == 0, std::string("connect to the listener: ") + std::strerror(error));
    }
    return fd;
  }

  static void SendAll(int fd, std::span<const uint8_t> bytes) {
    while (!bytes.empty()) {
      const ssize_t n = send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
      if (n < 0 && errno == EINTR) continue;
      FUZZ_CHECK(n > 0, std::string("send the requests: ") + std::strerror(errno));
      bytes = bytes.subspan(static_cast<std::size_t>(n));
    }
  }

  // Every connection leaves its address pair waiting for a minute after it
  // closed; a new loopback source address for each keeps pairs free at
  // thousands of connections per second.
  void BindToNextSource(int fd) {
    ++connections_;
    sockaddr_in source{};
    source.sin_family = AF_INET;
    source.sin_addr.s_addr = htonl((127u << 24) | ((1 + (connections_ >> 16) % 254) << 16) |
                                   (((connections_ >> 8) & 255) << 8) | (1 + connections_ % 254));
    FUZZ_CHECK(bind(fd, reinterpret_cast<sockaddr*>(&source), sizeof source) == 0,
               std::string("bind to a loopback source address: ") + std::strerror(errno));
  }
  uint32_t connections_ = 0;

  // Takes what has arrived; false at the end of the stream or after a reset.
  static bool Drain(int fd, Bytes& into) {
    uint8_t chunk[16384];
    for (;;) {
      const ssize_t n = recv(fd, chunk, sizeof chunk, MSG_DONTWAIT);
      if (n > 0) {
        into.insert(into.end(), chunk, chunk + n);
        continue;
      }
      return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR);
    }
  }
};

// What a terminal with unlimited patience would answer, kept by the target.
class MemoryModel {
 public:
  explicit MemoryModel(uint32_t capacity) : capacity_(capacity) {}

  Bytes Answer(const RecordKind& kind, const Request& request, bool& end) {
    end = false;
    if (request.header.direction == kDirectionWrite) return Write(kind, request.record);
    const int64_t number = termlink::RecordNumber(kind, request.record);
    if (request.header.direction == kDirectionDelete) return Delete(kind, number);
    if (kind.writable) {
      const auto& shelf = shelves_[kind.code];
      const auto found = shelf.lower_bound(number);
      if (found != shelf.end()) return found->second;
    } else if (kind.code == kCodeReportPlu) {
      if (number < static_cast<int64_t>(shelves_[kCodePlu].size())) return {};
    } else if (number <= ReportLast(kind.code)) {
      return {};
    }
    end = true;
    return StatusRecord(kind, kStatusEnd);
  }

 private:
  Bytes Write(const RecordKind& kind, const Bytes& record) {
    auto& shelf = shelves_[kind.code];
    const int64_t key = RecordKey(kind, record);
    if (!shelf.count(key) && shelf.size() >= capacity_) return StatusRecord(kind, kStatusFull);
    shelf[key] = record;
    return record;
  }

  // Gone, held or not; the answer carries the number deleted.
  Bytes Delete(const RecordKind& kind, int64_t number) {
    shelves_[kind.code].erase(NumberKey(kind, number));
    Bytes answer(kind.size, 0);
    termlink::SetRecordNumber(kind, answer, number);
    return answer;
  }

  static int64_t ReportLast(uint8_t code) { return code == kCodeReportTime ? 23 : 99; }

  uint32_t capacity_;
  std::map<uint8_t, std::map<int64_t, Bytes>> shelves_;
};

// One answer against its request and the model; an empty `expected` record
// (a report record) is checked by its number only.
void CheckAnswer(const Request& request, const FrameHeader& answer, std::span<const uint8_t> data,
                 const Bytes& expected, int64_t reportNumber) {
  const RecordKind& kind = *termlink::FindRecordKind(request.header.code);
  FUZZ_CHECK(answer.type == FrameType::kAnswer, "not an answer");
  FUZZ_CHECK(answer.id == request.header.id && answer.channel == request.header.channel &&
                 answer.code == request.header.code &&
                 answer.interpreterGroup == request.header.interpreterGroup &&
                 answer.interpreterId == request.header.interpreterId &&
                 answer.direction == request.header.direction,
             "the answer's fields differ from its request's");
  FUZZ_CHECK(answer.dataLength == kind.size, "answer of " + std::to_string(answer.dataLength));
  if (!expected.empty()) {
    FUZZ_CHECK(Bytes(data.begin(), data.end()) == expected,
               std::string("answer to ") + kind.name + " " +
                   (request.header.direction == kDirectionWrite ? "write" : "read"));
  } else {
    FUZZ_CHECK(termlink::RecordNumber(kind, data) == reportNumber,
               std::string(kind.name) + " report record " + std::to_string(reportNumber));
  }
}

// The record that ends an upload by the --end-with marker, instead of `record`.
Bytes Marked(const RecordKind& kind, Bytes record, bool end, uint32_t marker) {
  if (marker == 99 || end) return StatusRecord(kind, kStatusEnd);
  MarkLastRecord(kind, record, marker);
  return record;
}

// The session ends early on a refused frame or by --close-after, while the
// rest of the input still waits unread: every answer due must still arrive,
// in order, before the end of the stream.
void CheckConversation(const Faults& faults, const std::vector<Request>& requests,
                       const Bytes& received) {
  const FaultOptions& f = faults.options;
  std::size_t answered = requests.size();
  if (f.dropAfter) answered = std::min<std::size_t>(answered, *f.dropAfter);
  if (f.closeAfter) answered = std::min<std::size_t>(answered, *f.closeAfter);
  const std::optional<std::size_t> garbageAt =
      f.garbageAfter && requests.size() > *f.garbageAfter ? f.garbageAfter : std::nullopt;

  MemoryModel model(faults.capacity);
  std::span<const uint8_t> rest(received);
  std::string error;
  FUZZ_CHECK(rest.size() >= termlink::kHeaderSize, "no greeting");
  const auto greeting = termlink::DecodeHeader(rest.first<termlink::kHeaderSize>(), error);
  FUZZ_CHECK(greeting && greeting->type == FrameType::kGreeting && greeting->dataLength == 0,
             "the first frame is not the greeting");
  rest = rest.subspan(termlink::kHeaderSize);
  uint64_t readAnswers = 0;
  for (std::size_t i = 0; i < answered; ++i) {
    if (garbageAt && i == *garbageAt) {
      // The request after N answers gets the malformed frame instead.
      FUZZ_CHECK(rest.size() >= termlink::kHeaderSize &&
                     std::all_of(rest.begin(), rest.begin() + termlink::kHeaderSize,
                                 [](uint8_t b) { return b == 0xEE; }),
                 "the malformed frame is not where it is due");
      rest = rest.subspan(termlink::kHeaderSize);
      continue;
    }
    const Request& request = requests[i];
    const RecordKind& kind = *termlink::FindRecordKind(request.header.code);
    FUZZ_CHECK(rest.size() >= termlink::kHeaderSize + kind.size,
               "answer " + std::to_string(i + 1) + " of " + std::to_string(answered) + " missing");
    const auto header = termlink::DecodeHeader(rest.first<termlink::kHeaderSize>(), error);
    FUZZ_CHECK(header.has_value(), error);
    const auto data = rest.subspan(termlink::kHeaderSize, header->dataLength);
    bool end = false;
    Bytes expected = model.Answer(kind, request, end);
    const int64_t asked = termlink::RecordNumber(kind, request.record);
    int64_t reportNumber = kind.code == kCodeReportDept && asked < 1 ? 1 : asked;
    if (request.header.direction == kDirectionRead) {
      if (f.endAfter && readAnswers == *f.endAfter) {
        if (expected.empty()) expected = Bytes(data.begin(), data.end());  // report content
        expected = Marked(kind, expected, end, f.endWith);
      }
      ++readAnswers;
    }
    CheckAnswer(request, *header, data, expected, reportNumber);
    rest = rest.subspan(termlink::kHeaderSize + header->dataLength);
  }
  FUZZ_CHECK(rest.empty(), std::to_string(rest.size()) + " bytes more than the answers due");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  static Loopback* loopback = new Loopback;  // kept to the end of the process
  const Faults faults = ChooseFaults(data[0], data[1]);
  const std::span<const uint8_t> input(data + 2, size - 2);
  const Bytes received = loopback->Serve(faults, input);
  const std::vector<Request> requests = ValidRequests(input);
  CheckConversation(faults, requests, received);
  return 0;
}
