// The answer router, the process's one active router, and the two callbacks
// handed to the link library that reach it.
#include "link/answer_router.h"

#include <mutex>
#include <utility>

#include "link/answer_copy.h"

namespace {

// Held while an answer is handed to the active router, so that a router is
// never unset, and then destroyed, while the library's thread still uses it.
std::mutex activeRouterMutex;
AnswerRouter* activeRouter = nullptr;

}  // namespace

AnswerRouter::AnswerRouter(EventLoop& loop, bool (*accepted)(uint8_t code))
    : loop_(loop), accepted_(accepted) {}

void AnswerRouter::Route(const std::string& address, const void* owner, Handler handler) {
  handlers_[address] = Routed{owner, std::move(handler)};
}

void AnswerRouter::Unroute(const std::string& address, const void* owner) {
  const auto route = handlers_.find(address);
  if (route != handlers_.end() && route->second.owner == owner) handlers_.erase(route);
}

// Runs on the library's I/O thread: it touches nothing of the router but the
// loop, and hands the loop a copy that outlives the library's buffer.
void AnswerRouter::Post(const RequestPacket& answer) {
  if (!answer.Data || !accepted_(answer.Code)) return;
  auto copy = std::make_shared<const AnswerCopy>(answer);
  loop_.Post([this, copy] { Hand(*copy); });
}

void AnswerRouter::Hand(const AnswerCopy& copy) {
  const auto route = handlers_.find(copy.Packet().Address);
  if (route == handlers_.end()) return;
  // The handler may unroute its own address (a disconnect) while it runs.
  const Handler handler = route->second.handler;
  handler(copy.Packet());
}

void SetActiveRouter(AnswerRouter* router) {
  std::lock_guard lock(activeRouterMutex);
  activeRouter = router;
}

AnswerRouter* ActiveRouter() {
  std::lock_guard lock(activeRouterMutex);
  return activeRouter;
}

extern "C" int DataCallback(RequestPacket answer) {
  std::lock_guard lock(activeRouterMutex);
  if (activeRouter) activeRouter->Post(answer);
  return 1;
}

extern "C" int SecondCallback(void) {
  return 1;
}
