// AnswerRouter: takes the link library's answers from its I/O thread to the
// handler of the answer's address on the loop thread. The library's callbacks
// carry no user data, so the process has one active router, which the two
// callbacks handed to the library with every connection reach.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "loop/event_loop.h"
#include "termlink/termlink.h"

class AnswerCopy;

class AnswerRouter {
 public:
  using Handler = std::function<void(const RequestPacket& answer)>;
  // Answers whose code `accepted` refuses are dropped on the library's thread,
  // before anything is copied.
  AnswerRouter(EventLoop& loop, bool (*accepted)(uint8_t code));
  AnswerRouter(const AnswerRouter&) = delete;
  AnswerRouter& operator=(const AnswerRouter&) = delete;

  // Loop thread: answers of `address` go to `handler` of `owner` from now on,
  // replacing the handler routed before.
  void Route(const std::string& address, const void* owner, Handler handler);
  // Loop thread: answers of `address` are dropped from now on, also those
  // already posted but not yet handled, unless another owner routed the
  // address since.
  void Unroute(const std::string& address, const void* owner);

  // Library's thread: copies an accepted answer with data and posts the copy
  // to the loop, where it goes to the handler of its address, if any.
  void Post(const RequestPacket& answer);

 private:
  void Hand(const AnswerCopy& copy);

  EventLoop& loop_;
  bool (*accepted_)(uint8_t code);
  struct Routed {
    const void* owner;
    Handler handler;
  };
  std::map<std::string, Routed> handlers_;
};

// The router the library's callbacks reach; null when there is none. Set and
// cleared by the router's owner on the loop thread, read on the library's.
void SetActiveRouter(AnswerRouter* router);
AnswerRouter* ActiveRouter();

// Called by the link library on its own thread with one answer: hands it to
// the active router, if any, and returns 1 at once.
extern "C" int DataCallback(RequestPacket answer);
// Called by the link library when a connection ends without Disconnect. The
// call carries no address, so nothing is routed: does nothing and returns 1.
extern "C" int SecondCallback(void);
