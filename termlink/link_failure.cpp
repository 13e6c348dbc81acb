#include "termlink/link_failure.h"

#include <algorithm>
#include <cstring>

namespace termlink {
namespace {

// Trivially destructible, so a thread that ends leaves nothing to destroy
// while its thread-local storage is handed back.
struct HeldFailure {
  int code = TERMLINK_OK;
  char text[256] = {};
};

thread_local HeldFailure lastFailure;

}  // namespace

void SetLastFailure(LinkFailure failure) {
  lastFailure.code = failure.code;
  const std::size_t length = std::min(failure.text.size(), sizeof lastFailure.text - 1);
  std::memcpy(lastFailure.text, failure.text.data(), length);
  lastFailure.text[length] = '\0';
}

void ClearLastFailure() {
  lastFailure = HeldFailure{};
}

LinkFailure LastFailure() {
  return {lastFailure.code, lastFailure.text};
}

}  // namespace termlink
