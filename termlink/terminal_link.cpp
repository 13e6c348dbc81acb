#include "termlink/terminal_link.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

#include "termlink/send_now.h"
#include "termlink/trace.h"

namespace termlink {
namespace {

// Callbacks of all connections run one at a time, so a program sees its
// answers one after another whichever terminal they come from.
std::mutex& CallbackTurn() {
  static std::mutex turn;
  return turn;
}

}  // namespace

TerminalLink::TerminalLink(std::string address, int fd, Callbacks callbacks)
    : address_(std::move(address)), fd_(fd), callbacks_(callbacks) {
  // The reader and writer threads block in the socket; requests sent from
  // the program's threads pass MSG_DONTWAIT instead.
  fcntl(fd_, F_SETFL, fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
}

TerminalLink::~TerminalLink() {
  close(fd_);
}

void TerminalLink::Start() {
  std::thread([self = shared_from_this()] { self->ReadAnswers(); }).detach();
  std::thread([self = shared_from_this()] { self->WriteQueued(); }).detach();
}

bool TerminalLink::IsOpen() const {
  std::lock_guard lock(mutex_);
  return open_;
}

void TerminalLink::SetCallbacks(Callbacks callbacks) {
  std::lock_guard lock(mutex_);
  callbacks_ = callbacks;
}

bool TerminalLink::Send(const FrameHeader& header, const void* data, LinkFailure* failure) {
  std::lock_guard lock(mutex_);
  if (!open_ || awaited_.size() >= kMaxAwaited) {
    if (failure) {
      *failure = open_ ? LinkFailure{TERMLINK_QUEUE_FULL,
                                     std::to_string(kMaxAwaited) + " requests await their answers"}
                       : LinkFailure{TERMLINK_NOT_CONNECTED, "not connected"};
    }
    return false;
  }
  frame_.clear();
  AppendFrame(frame_, header, data);
  size_t sent = 0;
  if (queued_.empty() && !flushing_) {
    std::string error;
    sent = SendNow(fd_, frame_, error);
    if (!error.empty()) {
      // The reader thread sees the broken connection and reports the loss.
      shutdown(fd_, SHUT_RDWR);
      if (failure) *failure = {TERMLINK_CLOSED, error};
      return false;
    }
  }
  awaited_.push_back({header.code, header.direction});
  if (sent < frame_.size()) {
    queued_.insert(queued_.end(), frame_.begin() + static_cast<std::ptrdiff_t>(sent), frame_.end());
    queuedChanged_.notify_one();
  }
  return true;
}

bool TerminalLink::Close() {
  std::unique_lock lock(mutex_);
  closed_ = true;
  const bool wasOpen = EndLocked();
  // A callback that called Close itself goes on; one on another thread is
  // waited for, so that nothing of the link reaches the caller afterwards.
  const std::thread::id self = std::this_thread::get_id();
  callbackEnded_.wait(
      lock, [&] { return callbackThread_ == std::thread::id() || callbackThread_ == self; });
  return wasOpen;
}

bool TerminalLink::BeginCallback(bool lost, Callbacks& callbacks) {
  std::lock_guard lock(mutex_);
  if (closed_ || (!lost && !open_)) return false;
  callbackThread_ = std::this_thread::get_id();
  callbacks = callbacks_;
  return true;
}

void TerminalLink::EndCallback() {
  {
    std::lock_guard lock(mutex_);
    callbackThread_ = std::thread::id();
  }
  callbackEnded_.notify_all();
}

// Marks the link closed and wakes both threads; true when it was open.
bool TerminalLink::EndLocked() {
  bool wasOpen = open_;
  open_ = false;
  queued_.clear();
  awaited_.clear();
  queuedChanged_.notify_all();
  shutdown(fd_, SHUT_RDWR);
  return wasOpen;
}

void TerminalLink::WriteQueued() {
  std::vector<uint8_t> bytes;
  std::unique_lock lock(mutex_);
  for (;;) {
    flushing_ = false;
    queuedChanged_.wait(lock, [this] { return !open_ || !queued_.empty(); });
    if (!open_) return;
    bytes.swap(queued_);
    queued_.clear();
    flushing_ = true;
    lock.unlock();
    bool sent = send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) == ssize_t(bytes.size());
    lock.lock();
    if (!sent) {
      shutdown(fd_, SHUT_RDWR);  // the reader thread reports the loss
      return;
    }
  }
}

void TerminalLink::ReadAnswers() {
  Frame frame;
  for (;;) {
    std::span<uint8_t> space = reader_.Space();
    ssize_t count = recv(fd_, space.data(), space.size(), 0);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) {
      Fail(count == 0 ? "closed by the terminal" : std::strerror(errno));
      return;
    }
    reader_.Commit(static_cast<size_t>(count));
    for (;;) {
      FrameReader::Result result = reader_.Next(frame);
      if (result == FrameReader::Result::kNeedMore) break;
      if (result == FrameReader::Result::kBad) {
        Fail("bad frame: " + reader_.error());
        return;
      }
      if (!Deliver(frame)) return;
    }
  }
}

std::string TerminalLink::CheckAnswer(const FrameHeader& header) {
  if (header.type != FrameType::kAnswer) return "a frame other than an answer";
  std::string problem = CheckRecordFields(header.code, header.direction, header.dataLength);
  if (!problem.empty()) return problem;
  if (awaited_.empty()) return "an answer without a request";
  if (awaited_.front().code != header.code || awaited_.front().direction != header.direction) {
    return "an answer that does not match its request";
  }
  awaited_.pop_front();
  return {};
}

// Hands one answer to the data callback; false when the link is closed
// afterwards, by a bad answer or from inside the callback.
bool TerminalLink::Deliver(const Frame& frame) {
  std::string problem;
  {
    std::lock_guard lock(mutex_);
    if (!open_) return false;
    problem = CheckAnswer(frame.header);
  }
  if (!problem.empty()) {
    Fail("unexpected frame: " + problem);
    return false;
  }
  RequestPacket answer{};
  answer.Id = frame.header.id;
  answer.Address = address_.c_str();
  answer.Channel = frame.header.channel;
  answer.Code = frame.header.code;
  answer.InterpreterGroup = frame.header.interpreterGroup;
  answer.InterpreterId = frame.header.interpreterId;
  answer.Direction = frame.header.direction;
  answer.DataLength = frame.header.dataLength;
  answer.Data = const_cast<uint8_t*>(frame.data.data());
  std::lock_guard turn(CallbackTurn());
  Callbacks callbacks;
  // Closed while waiting for the turn: the answer is not delivered.
  if (!BeginCallback(false, callbacks)) return false;
  if (callbacks.answer) {
    callbacks.answer(callbacks.user, &answer);
  } else if (callbacks.data) {
    callbacks.data(answer);
  }
  EndCallback();
  return IsOpen();
}

// The connection ended without Disconnect: it broke, or the terminal sent
// something it must not.
void TerminalLink::Fail(const std::string& why) {
  {
    std::lock_guard lock(mutex_);
    if (!EndLocked()) return;
  }
  Trace(address_, "connection closed: " + why);
  std::lock_guard turn(CallbackTurn());
  Callbacks callbacks;
  // A Disconnect since the loss has taken the news of it.
  if (!BeginCallback(true, callbacks)) return;
  if (callbacks.lost) {
    callbacks.lost(callbacks.user, address_.c_str(), why.c_str());
  } else if (callbacks.second) {
    callbacks.second();
  }
  EndCallback();
}

}  // namespace termlink
