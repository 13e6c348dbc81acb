// The answer router and the two callbacks, handed to the link library, that
// reach it.
#include "link/answer_router.h"

#include <mutex>
#include <set>
#include <utility>

#include "link/answer_copy.h"

namespace {

// The routers that exist. Held while the library's thread hands a router its
// news, so that a router is never destroyed while that thread still uses it.
std::mutex liveRoutersMutex;
// Never destroyed: the library's threads may call back while the process exits.
std::set<const AnswerRouter*>& LiveRouters() {
  static auto* routers = new std::set<const AnswerRouter*>;
  return *routers;
}

}  // namespace

AnswerRouter::AnswerRouter(EventLoop& loop, bool (*accepted)(uint8_t code))
    : loop_(loop), accepted_(accepted) {
  std::lock_guard lock(liveRoutersMutex);
  LiveRouters().insert(this);
}

AnswerRouter::~AnswerRouter() {
  std::lock_guard lock(liveRoutersMutex);
  LiveRouters().erase(this);
}

void AnswerRouter::Route(const std::string& address, const void* owner, Handler handler,
                         LossHandler lost) {
  handlers_[address] = Routed{owner, std::move(handler), std::move(lost)};
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

void AnswerRouter::PostLoss(const std::string& address) {
  loop_.Post([this, address] { HandLoss(address); });
}

void AnswerRouter::Hand(const AnswerCopy& copy) {
  const auto route = handlers_.find(copy.Packet().Address);
  if (route == handlers_.end()) return;
  // The handler may unroute its own address (a disconnect) while it runs.
  const Handler handler = route->second.handler;
  handler(copy.Packet());
}

void AnswerRouter::HandLoss(const std::string& address) {
  const auto route = handlers_.find(address);
  if (route == handlers_.end() || !route->second.lost) return;
  const LossHandler lost = route->second.lost;
  lost();
}

extern "C" void RouteAnswer(void* router, const RequestPacket* answer) {
  std::lock_guard lock(liveRoutersMutex);
  auto* live = static_cast<AnswerRouter*>(router);
  if (answer && LiveRouters().contains(live)) live->Post(*answer);
}

extern "C" void RouteLoss(void* router, const char* address, const char* /*reason*/) {
  std::lock_guard lock(liveRoutersMutex);
  auto* live = static_cast<AnswerRouter*>(router);
  if (address && LiveRouters().contains(live)) live->PostLoss(address);
}
