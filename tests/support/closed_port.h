// A port where nothing listens, held for as long as the object lives: the
// socket is bound but never listens, so a connect to it is refused at once
// and no other program can take the port meanwhile.
#pragma once

#include <string>

class ClosedPort {
 public:
  explicit ClosedPort(const std::string& address);  // a fresh port on `address`
  // `port` on `address`, where a listener on another address has it: no other
  // program can then listen there. Throws when the port is taken.
  ClosedPort(const std::string& address, int port);
  ~ClosedPort();
  ClosedPort(const ClosedPort&) = delete;
  ClosedPort& operator=(const ClosedPort&) = delete;

  int port() const { return port_; }

 private:
  int fd_ = -1;
  int port_ = 0;
};
