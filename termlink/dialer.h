// Opening a TCP connection to a terminal: each attempt must connect and
// receive the terminal's greeting within its time-out; a refused attempt
// fails at once.
#pragma once

#include <string>

namespace termlink {

struct DialResult {
  int fd = -1;  // the connected socket (non-blocking, TCP_NODELAY), or -1
  std::string error;
};

// Makes up to `attempts` attempts of `timeoutMs` each to reach the terminal
// at `address` (a numeric IPv4 or IPv6 address; no name look-up) on `port`.
DialResult Dial(const std::string& address, int port, int timeoutMs, int attempts);

}  // namespace termlink
