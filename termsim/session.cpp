#include "termsim/session.h"

#include <chrono>
#include <iostream>

#include "records/records.h"

using termlink::Frame;
using termlink::FrameHeader;
using termlink::FrameReader;
using termlink::FrameType;

namespace {

const char* DirectionName(uint16_t direction) {
  if (direction == kDirectionRead) return "read";
  return direction == kDirectionWrite ? "write" : "delete";
}

}  // namespace

Session::Session(asio::ip::tcp::socket socket, Terminal& terminal, const FaultOptions& faults,
                 bool verbose)
    : socket_(std::move(socket)),
      delay_(socket_.get_executor()),
      endBy_(socket_.get_executor()),
      terminal_(terminal),
      faults_(faults),
      verbose_(verbose) {}

void Session::Start() {
  asio::error_code ignored;
  socket_.set_option(asio::ip::tcp::no_delay(true), ignored);
  Log("connection opened");
  FrameHeader greeting;
  greeting.type = FrameType::kGreeting;
  std::vector<uint8_t> bytes;
  termlink::AppendFrame(bytes, greeting, nullptr);
  Send(bytes);
  ReadMore();
}

void Session::ReadMore() {
  if (closed_ || reading_ || inputEnded_ || (delaying_ && !ending_)) return;
  reading_ = true;
  std::span<uint8_t> space = ending_ ? std::span<uint8_t>(discard_) : reader_.Space();
  socket_.async_read_some(asio::buffer(space.data(), space.size()),
                          [self = shared_from_this()](const asio::error_code& error, size_t count) {
                            self->OnRead(error, count);
                          });
}

void Session::OnRead(const asio::error_code& error, size_t count) {
  reading_ = false;
  if (closed_) return;
  if (error) {
    EndOfInput(error);
    return;
  }
  if (ending_) {
    ReadMore();  // what comes after the end is read and dropped
    return;
  }
  reader_.Commit(count);
  TakeFrames();
}

void Session::TakeFrames() {
  Frame frame;
  while (!ending_ && !delaying_) {
    FrameReader::Result result = reader_.Next(frame);
    if (result == FrameReader::Result::kNeedMore) break;
    if (result == FrameReader::Result::kBad) {
      Close("bad frame: " + reader_.error(), true);
      return;
    }
    Handle(frame);
  }
  ReadMore();
}

void Session::Handle(const Frame& frame) {
  const FrameHeader& request = frame.header;
  if (request.type != FrameType::kRequest) {
    Close("unexpected frame: not a request", true);
    return;
  }
  std::string problem =
      termlink::CheckRecordFields(request.code, request.direction, request.dataLength);
  if (!problem.empty()) {
    Close("unexpected frame: " + problem, true);
    return;
  }
  if (verbose_) {
    const termlink::RecordKind& kind = *termlink::FindRecordKind(request.code);
    Log(std::string("request ") + kind.name + " " + DirectionName(request.direction) + " " +
        std::to_string(termlink::RecordNumber(kind, frame.data)));
  }
  if (PlayFault()) return;
  Answer(request, frame.data);
}

// Plays the fault due for this request, if any; true when it takes the
// request's place.
bool Session::PlayFault() {
  if (faults_.closeAfter && answers_ >= *faults_.closeAfter) {
    Close("closing after " + std::to_string(answers_) + " answers (--close-after)");
    return true;
  }
  if (faults_.dropAfter && answers_ >= *faults_.dropAfter) {
    Log("request dropped (--drop-after)");
    return true;
  }
  if (faults_.garbageAfter && answers_ >= *faults_.garbageAfter && !garbageSent_) {
    garbageSent_ = true;
    Log("malformed frame sent (--garbage-after)");
    Send(std::vector<uint8_t>(termlink::kHeaderSize, 0xEE));
    return true;
  }
  return false;
}

void Session::Answer(const FrameHeader& request, std::span<const uint8_t> record) {
  const termlink::RecordKind& kind = *termlink::FindRecordKind(request.code);
  TerminalAnswer answer = terminal_.Answer(kind, request.direction, record);
  if (request.direction == kDirectionRead) EndUploadIfDue(kind, answer);
  ++answers_;
  FrameHeader header = request;
  header.type = FrameType::kAnswer;
  std::vector<uint8_t> bytes;
  termlink::AppendFrame(bytes, header, answer.record.data());
  std::string text;
  if (verbose_) {
    const int64_t number = termlink::RecordNumber(kind, answer.record);
    text = std::string("answer ") + kind.name + " " + std::to_string(number);
    // A write or delete answered under number 0 is refused: its status says why.
    if (answer.endOfRecords || (request.direction != kDirectionRead && number == 0)) {
      text += " \"" + std::string(termlink::StatusText(kind, answer.record)) + "\"";
    }
  }
  if (faults_.delayMs == 0) {
    Log(text);
    Send(bytes);
    return;
  }
  delaying_ = true;
  delay_.expires_after(std::chrono::milliseconds(faults_.delayMs));
  delay_.async_wait([self = shared_from_this(), bytes = std::move(bytes),
                     text = std::move(text)](const asio::error_code& error) {
    self->delaying_ = false;
    if (error || self->ending_) return;
    self->Log(text);
    self->Send(bytes);
    self->TakeFrames();
  });
}

// --end-after: the read after N answered reads gets the end marker instead.
void Session::EndUploadIfDue(const termlink::RecordKind& kind, TerminalAnswer& answer) {
  if (faults_.endAfter && readAnswers_ == *faults_.endAfter && !uploadEnded_) {
    uploadEnded_ = true;
    // A record-carrying marker needs a record; with none left the usual end serves.
    if (faults_.endWith == 99 || answer.endOfRecords) {
      answer = {StatusRecord(kind, kStatusEnd), true};
    } else {
      MarkLastRecord(kind, answer.record, faults_.endWith);
    }
  }
  ++readAnswers_;
}

void Session::Log(const std::string& text) const {
  if (verbose_) std::cerr << terminal_.address() << ": " << text << std::endl;
}
