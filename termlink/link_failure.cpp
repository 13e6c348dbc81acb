#include "termlink/link_failure.h"

#include <utility>

namespace termlink {
namespace {

thread_local LinkFailure lastFailure;

}  // namespace

void SetLastFailure(LinkFailure failure) {
  lastFailure = std::move(failure);
}

void ClearLastFailure() {
  lastFailure = LinkFailure{};
}

const LinkFailure& LastFailure() {
  return lastFailure;
}

}  // namespace termlink
