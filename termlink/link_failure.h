// Why a call of the link library failed: a code of TermLinkError and a text
// for people. The calling thread's latest failure is what TermLinkLastError
// hands back.
#pragma once

#include <string>

#include "termlink/termlink.h"

namespace termlink {

struct LinkFailure {
  int code = TERMLINK_OK;
  std::string text;
};

// The calling thread's latest failure; every exported operation clears it
// first.
void SetLastFailure(LinkFailure failure);
void ClearLastFailure();
LinkFailure LastFailure();

}  // namespace termlink
