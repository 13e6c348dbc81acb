// Opening a TCP connection to a terminal: each attempt must connect and
// receive the terminal's greeting within its time-out; a refused attempt
// fails at once, and a cancelled dial ends at once.
#pragma once

#include <string>

#include "termlink/link_failure.h"

namespace termlink {

// Ends the dials that wait on it, from any thread: a Disconnect of an
// address that is still being dialled.
class DialCancel {
 public:
  DialCancel();
  ~DialCancel();
  DialCancel(const DialCancel&) = delete;
  DialCancel& operator=(const DialCancel&) = delete;

  // Readable once cancelled; -1 when no descriptor could be had (then
  // the dials run their course).
  int fd() const { return fd_; }
  void Cancel();
  bool Cancelled() const { return cancelled_; }

  int dials = 0;  // the dials waiting on it, counted by its owner

 private:
  int fd_;
  bool cancelled_ = false;
};

struct DialResult {
  int fd = -1;          // the connected socket (non-blocking, TCP_NODELAY), or -1
  LinkFailure failure;  // why the last attempt failed, when fd is -1
};

// Makes up to `attempts` attempts of `timeoutMs` each to reach the terminal
// at `address` (a numeric IPv4 or IPv6 address; no name look-up) on `port`.
// Once `cancel` (a descriptor, or -1) is readable, the dial gives up.
DialResult Dial(const std::string& address, int port, int timeoutMs, int attempts, int cancel);

}  // namespace termlink
