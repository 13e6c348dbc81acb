#include "tests/support/closed_port.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <stdexcept>
#include <string>

// No SO_REUSEADDR: a listener that asks for it (as the simulator does) still
// cannot bind the port while this socket holds it.
ClosedPort::ClosedPort(const std::string& address) : ClosedPort(address, 0) {}

ClosedPort::ClosedPort(const std::string& address, int port)
    : fd_(socket(AF_INET, SOCK_STREAM, 0)) {
  sockaddr_in where{};
  where.sin_family = AF_INET;
  where.sin_port = htons(static_cast<uint16_t>(port));
  inet_pton(AF_INET, address.c_str(), &where.sin_addr);
  socklen_t size = sizeof where;
  if (fd_ < 0 || bind(fd_, reinterpret_cast<sockaddr*>(&where), sizeof where) != 0 ||
      getsockname(fd_, reinterpret_cast<sockaddr*>(&where), &size) != 0) {
    if (fd_ >= 0) close(fd_);
    throw std::runtime_error("cannot hold port " + std::to_string(port) + " on " + address);
  }
  port_ = ntohs(where.sin_port);
}

ClosedPort::~ClosedPort() {
  close(fd_);
}
