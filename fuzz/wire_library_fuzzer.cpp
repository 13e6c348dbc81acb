// The library side of the wire: bytes from a terminal, as the link library's
// connection reads them after the greeting.
//
// The codec first: the frame reader, fed the bytes in pieces of every size,
// cuts the same frames as a plain walk over the whole buffer does, stops at
// the same bad header, and every frame it passes encodes back to its own
// bytes. Then the connection itself (the library's TerminalLink on one end of
// a socket pair, with a few requests awaiting their answers): every answer it
// hands to the data callback is one the library awaited, in order, with the
// record size of its kind and readable data; it hands over exactly the
// answers before the first frame it must refuse, reports the end of the
// connection once, and its threads end.
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "termlink/record_table.h"
#include "termlink/terminal_link.h"
#include "termlink/wire_codec.h"

namespace {

using termlink::Frame;
using termlink::FrameHeader;
using termlink::FrameReader;
using termlink::FrameType;
using Bytes = std::vector<uint8_t>;

struct CutFrame {
  FrameHeader header;
  Bytes data;
  bool operator==(const CutFrame& o) const {
    const FrameHeader& a = header;
    const FrameHeader& b = o.header;
    return a.type == b.type && a.id == b.id && a.channel == b.channel && a.code == b.code &&
           a.interpreterGroup == b.interpreterGroup && a.interpreterId == b.interpreterId &&
           a.direction == b.direction && a.dataLength == b.dataLength && data == o.data;
  }
};

struct Cut {
  std::vector<CutFrame> frames;
  bool bad = false;
};

// The frames of a whole buffer, walked header by header.
Cut CutWhole(std::span<const uint8_t> bytes) {
  Cut cut;
  while (bytes.size() >= termlink::kHeaderSize) {
    std::string error;
    const auto header = termlink::DecodeHeader(bytes.first<termlink::kHeaderSize>(), error);
    if (!header) {
      cut.bad = true;
      break;
    }
    if (bytes.size() < termlink::kHeaderSize + header->dataLength) break;
    const auto data = bytes.subspan(termlink::kHeaderSize, header->dataLength);
    cut.frames.push_back({*header, Bytes(data.begin(), data.end())});
    bytes = bytes.subspan(termlink::kHeaderSize + header->dataLength);
  }
  return cut;
}

// The same bytes through the frame reader, in pieces of changing size.
Cut CutInPieces(std::span<const uint8_t> bytes, uint8_t seed) {
  const auto reader = std::make_unique<FrameReader>();
  Cut cut;
  for (std::size_t piece = 0; !bytes.empty(); ++piece) {
    auto space = reader->Space();
    FUZZ_CHECK(!space.empty(), "no room after every whole frame was taken");
    const std::size_t size =
        std::min({space.size(), bytes.size(), 1 + (piece * 131 + seed) % 1900});
    std::copy_n(bytes.begin(), size, space.begin());
    reader->Commit(size);
    bytes = bytes.subspan(size);
    Frame frame;
    for (;;) {
      const auto result = reader->Next(frame);
      if (result == FrameReader::Result::kNeedMore) break;
      if (result == FrameReader::Result::kBad) {
        FUZZ_CHECK(!reader->error().empty(), "a bad stream without a reason");
        cut.bad = true;
        return cut;
      }
      cut.frames.push_back({frame.header, Bytes(frame.data.begin(), frame.data.end())});
    }
  }
  return cut;
}

void CheckCodec(std::span<const uint8_t> stream, uint8_t seed) {
  const Cut whole = CutWhole(stream);
  const Cut pieces = CutInPieces(stream, seed);
  FUZZ_CHECK(whole.bad == pieces.bad && whole.frames == pieces.frames,
             "the frame reader cut the stream differently");
  std::size_t offset = 0;
  for (const CutFrame& frame : whole.frames) {
    Bytes encoded;
    termlink::AppendFrame(encoded, frame.header, frame.data.data());
    FUZZ_CHECK(std::equal(encoded.begin(), encoded.end(), stream.begin() + offset),
               "a frame does not encode back to its bytes");
    offset += encoded.size();
  }
}

// The requests a program can send: each readable, writable or deletable code and direction.
struct Awaited {
  uint8_t code;
  uint16_t direction;
};
const Awaited kRequests[] = {{9, 2},  {9, 3},  {9, 4},  {17, 2},  {17, 3},  {17, 4},
                             {20, 2}, {20, 3}, {20, 4}, {203, 2}, {203, 3}, {203, 4},
                             {79, 3}, {79, 4}, {45, 2}, {44, 2},  {43, 2},  {42, 2}};
constexpr const char* kAddress = "127.0.0.9";

// What reaches the callbacks of the link under test.
struct Recorder {
  std::mutex mutex;
  std::deque<Awaited> awaited;
  std::vector<CutFrame> answers;
  int ends = 0;
  std::string problem;

  void Reset() {
    std::lock_guard lock(mutex);
    awaited.clear();
    answers.clear();
    ends = 0;
    problem.clear();
  }
};
Recorder recorder;

int DataCallback(RequestPacket answer) {
  std::lock_guard lock(recorder.mutex);
  const termlink::RecordKind* kind = termlink::FindRecordKind(answer.Code);
  if (std::strcmp(answer.Address, kAddress) != 0) recorder.problem = "the answer's address";
  if (!kind || answer.DataLength != kind->size || !answer.Data) {
    recorder.problem = "an answer without its record";
    return 1;
  }
  if (recorder.awaited.empty() || recorder.awaited.front().code != answer.Code ||
      recorder.awaited.front().direction != answer.Direction) {
    recorder.problem = "an answer that was not awaited";
  } else {
    recorder.awaited.pop_front();
  }
  FrameHeader header;
  header.type = FrameType::kAnswer;
  header.id = answer.Id;
  header.channel = answer.Channel;
  header.code = answer.Code;
  header.interpreterGroup = answer.InterpreterGroup;
  header.interpreterId = answer.InterpreterId;
  header.direction = answer.Direction;
  header.dataLength = answer.DataLength;
  const auto* data = static_cast<const uint8_t*>(answer.Data);
  recorder.answers.push_back({header, Bytes(data, data + answer.DataLength)});
  return 1;
}

int SecondCallback() {
  std::lock_guard lock(recorder.mutex);
  ++recorder.ends;
  return 1;
}

// The answers a connection must hand over: those before the first frame
// that is not an answer, not of the record set, or not the one awaited.
std::vector<CutFrame> Deliverable(const Cut& cut, std::deque<Awaited> awaited, bool& refused) {
  std::vector<CutFrame> answers;
  refused = cut.bad;
  for (const CutFrame& frame : cut.frames) {
    const FrameHeader& h = frame.header;
    if (h.type != FrameType::kAnswer ||
        !termlink::CheckRecordFields(h.code, h.direction, h.dataLength).empty() ||
        awaited.empty() || awaited.front().code != h.code ||
        awaited.front().direction != h.direction) {
      refused = true;
      break;
    }
    awaited.pop_front();
    answers.push_back(frame);
  }
  return answers;
}

// The terminal's end received each request as one well-formed frame, in order.
void CheckRequestsSent(int fd, const std::deque<Awaited>& sent) {
  Bytes received;
  uint8_t chunk[16384];
  for (ssize_t n; (n = recv(fd, chunk, sizeof chunk, MSG_DONTWAIT)) > 0;) {
    received.insert(received.end(), chunk, chunk + n);
  }
  const Cut cut = CutWhole(received);
  FUZZ_CHECK(!cut.bad && cut.frames.size() == sent.size(), "requests on the wire");
  for (std::size_t i = 0; i < sent.size(); ++i) {
    const FrameHeader& h = cut.frames[i].header;
    FUZZ_CHECK(h.type == FrameType::kRequest && h.code == sent[i].code &&
                   h.direction == sent[i].direction &&
                   h.dataLength == termlink::FindRecordKind(h.code)->size,
               "request " + std::to_string(i + 1) + " on the wire");
  }
}

void CheckConnection(std::span<const uint8_t> requestChoice, std::span<const uint8_t> stream) {
  int ends[2];
  FUZZ_CHECK(socketpair(AF_UNIX, SOCK_STREAM, 0, ends) == 0, "socketpair");
  recorder.Reset();
  auto link = std::make_shared<termlink::TerminalLink>(
      kAddress, ends[0], termlink::Callbacks{DataCallback, SecondCallback});
  const std::weak_ptr<termlink::TerminalLink> watch = link;
  link->Start();
  std::deque<Awaited> sent;
  for (uint8_t choice : requestChoice) {
    const Awaited request = kRequests[choice % std::size(kRequests)];
    FrameHeader header;
    header.code = request.code;
    header.direction = request.direction;
    header.dataLength = termlink::FindRecordKind(request.code)->size;
    const Bytes record(header.dataLength, choice);
    {
      std::lock_guard lock(recorder.mutex);
      recorder.awaited.push_back(request);
    }
    FUZZ_CHECK(link->Send(header, record.data()), "a request refused by an open link");
    sent.push_back(request);
  }
  // libFuzzer's timer signal may cut a send short: the rest follows.
  for (auto rest = stream; !rest.empty();) {
    const ssize_t n = send(ends[1], rest.data(), rest.size(), MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    FUZZ_CHECK(n > 0, std::string("send the terminal's bytes: ") + std::strerror(errno));
    rest = rest.subspan(static_cast<std::size_t>(n));
  }
  shutdown(ends[1], SHUT_WR);
  link.reset();

  bool refused = false;
  const auto expected = Deliverable(CutWhole(stream), sent, refused);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!watch.expired()) {
    FUZZ_CHECK(std::chrono::steady_clock::now() < deadline, "the link's threads did not end");
    std::this_thread::yield();
  }
  CheckRequestsSent(ends[1], sent);
  close(ends[1]);
  std::lock_guard lock(recorder.mutex);
  FUZZ_CHECK(recorder.problem.empty(), recorder.problem);
  FUZZ_CHECK(recorder.ends == 1,
             "the end of the connection reported " + std::to_string(recorder.ends) + " times");
  FUZZ_CHECK(recorder.answers == expected, std::to_string(recorder.answers.size()) +
                                               " answers handed over, " +
                                               std::to_string(expected.size()) + " due");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::size_t requests = std::min<std::size_t>(data[0] % 8, size - 1);
  const std::span<const uint8_t> choice(data + 1, requests);
  const std::span<const uint8_t> stream(data + 1 + requests, size - 1 - requests);
  CheckCodec(stream, data[0]);
  CheckConnection(choice, stream);
  return 0;
}
