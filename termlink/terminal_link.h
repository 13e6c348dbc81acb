// One open connection to a terminal. Requests go out at once from the
// calling thread; only what the socket cannot take at once waits for the
// connection's writer thread. The connection's reader thread waits for
// answers, checks each against the requests still awaiting theirs and hands
// it to the program's data callback. A bad or unexpected frame, or a lost
// connection, closes the link and calls the second callback. No callback
// begins once Close has returned, nor runs on another thread then.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "termlink/link_failure.h"
#include "termlink/termlink.h"
#include "termlink/wire_codec.h"

namespace termlink {

// The bare callbacks of AddProcConnection, or those of AddProcConnectionEx
// with the pointer they hand back.
struct Callbacks {
  DataCallbackFn data = nullptr;
  SecondCallbackFn second = nullptr;
  TermLinkAnswerFn answer = nullptr;
  TermLinkLostFn lost = nullptr;
  void* user = nullptr;
};

class TerminalLink : public std::enable_shared_from_this<TerminalLink> {
 public:
  // More requests than this awaiting their answers are refused: a terminal
  // that stopped answering must not make the program queue without end.
  static constexpr size_t kMaxAwaited = 4096;

  // Takes over `fd`, a connected socket whose greeting has been read.
  TerminalLink(std::string address, int fd, Callbacks callbacks);
  ~TerminalLink();
  TerminalLink(const TerminalLink&) = delete;
  TerminalLink& operator=(const TerminalLink&) = delete;

  // Starts the reader and writer threads; call once, after construction.
  void Start();
  bool IsOpen() const;
  void SetCallbacks(Callbacks callbacks);
  // Sends or queues one request frame; false when the link is closed or
  // full, with the reason in `failure` when that is not null.
  bool Send(const FrameHeader& header, const void* data, LinkFailure* failure = nullptr);
  // Closes the link without calling the second callback; true when it was
  // open. Once it returns no callback of the link begins, and one running on
  // another thread has ended.
  bool Close();

 private:
  struct Awaited {
    uint8_t code;
    uint16_t direction;
  };

  void ReadAnswers();
  void WriteQueued();
  bool Deliver(const Frame& frame);
  std::string CheckAnswer(const FrameHeader& header);
  bool EndLocked();
  void Fail(const std::string& why);
  // With the callback turn held: begins a callback unless Close came first;
  // the callbacks to call in `callbacks`.
  bool BeginCallback(bool lost, Callbacks& callbacks);
  void EndCallback();

  const std::string address_;  // handed to the callback as the answer's Address
  const int fd_;
  FrameReader reader_;  // reader thread only

  mutable std::mutex mutex_;  // guards the members below
  std::condition_variable queuedChanged_;
  bool open_ = true;
  std::vector<uint8_t> frame_;   // the frame being sent, kept for its capacity
  std::vector<uint8_t> queued_;  // bytes waiting for the writer thread
  bool flushing_ = false;        // the writer thread is sending bytes it took
  std::deque<Awaited> awaited_;
  Callbacks callbacks_;
  bool closed_ = false;             // Close was called
  std::thread::id callbackThread_;  // the thread in a callback of the link, if any
  std::condition_variable callbackEnded_;
};

}  // namespace termlink
