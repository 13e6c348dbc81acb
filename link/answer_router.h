// AnswerRouter: takes the link library's answers, and the news of a lost
// connection, from the library's I/O thread to the handlers of their address
// on the loop thread. Each router is the pointer that the callbacks of the
// connections it set up carry back to it.
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
  using LossHandler = std::function<void()>;
  // Answers whose code `accepted` refuses are dropped on the library's thread,
  // before anything is copied.
  AnswerRouter(EventLoop& loop, bool (*accepted)(uint8_t code));
  // From now on the library's callbacks that carry this router reach nothing.
  ~AnswerRouter();
  AnswerRouter(const AnswerRouter&) = delete;
  AnswerRouter& operator=(const AnswerRouter&) = delete;

  // Loop thread: answers of `address` go to `handler` of `owner` from now on,
  // and the loss of its connection to `lost`, replacing those routed before.
  void Route(const std::string& address, const void* owner, Handler handler, LossHandler lost = {});
  // Loop thread: answers and losses of `address` are dropped from now on, also
  // those already posted but not yet handled, unless another owner routed
  // the address since.
  void Unroute(const std::string& address, const void* owner);

  // Library's thread: copies an accepted answer with data and posts the copy
  // to the loop, where it goes to the handler of its address, if any.
  void Post(const RequestPacket& answer);
  // Library's thread: posts the loss of `address`'s connection to the loop.
  void PostLoss(const std::string& address);

 private:
  void Hand(const AnswerCopy& copy);
  void HandLoss(const std::string& address);

  EventLoop& loop_;
  bool (*accepted_)(uint8_t code);
  struct Routed {
    const void* owner;
    Handler handler;
    LossHandler lost;
  };
  std::map<std::string, Routed> handlers_;
};

// The callbacks handed to AddProcConnectionEx with a router as their pointer:
// each hands its news to that router while it exists, and to nothing after.
extern "C" void RouteAnswer(void* router, const RequestPacket* answer);
extern "C" void RouteLoss(void* router, const char* address, const char* reason);
