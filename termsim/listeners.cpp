#include "termsim/listeners.h"

#include <stdexcept>
#include <string>

namespace {

// Another program may take the port picked for the first listener before
// the others are bound; then all of them try a new port.
constexpr int kSharedPortTries = 50;

asio::ip::tcp::endpoint Endpoint(const ListenAddress& listen, uint16_t port) {
  return {asio::ip::make_address(listen.address), port};
}

std::string Name(const asio::ip::tcp::endpoint& endpoint) {
  return endpoint.address().to_string() + ":" + std::to_string(endpoint.port());
}

bool Bind(asio::ip::tcp::acceptor& acceptor, const asio::ip::tcp::endpoint& endpoint,
          asio::error_code& error) {
  acceptor.open(endpoint.protocol(), error);
  if (!error) acceptor.set_option(asio::socket_base::reuse_address(true), error);
  if (!error) acceptor.bind(endpoint, error);
  if (!error) acceptor.listen(asio::socket_base::max_listen_connections, error);
  if (error) {
    asio::error_code ignored;
    acceptor.close(ignored);
  }
  return !error;
}

[[noreturn]] void CannotListen(const asio::ip::tcp::endpoint& endpoint,
                               const asio::error_code& error) {
  throw std::runtime_error("cannot listen on " + Name(endpoint) + ": " + error.message());
}

// Binds the port-0 listeners among `acceptors` to one shared port.
void BindShared(std::vector<asio::ip::tcp::acceptor>& acceptors,
                const std::vector<ListenAddress>& addresses) {
  for (int attempt = 0; attempt < kSharedPortTries; ++attempt) {
    uint16_t port = 0;
    bool taken = false;
    for (size_t i = 0; i < addresses.size() && !taken; ++i) {
      if (addresses[i].port != 0) continue;
      asio::error_code error;
      if (!Bind(acceptors[i], Endpoint(addresses[i], port), error)) {
        if (port == 0 || error != asio::error::address_in_use) {
          CannotListen(Endpoint(addresses[i], port), error);
        }
        taken = true;
      } else if (port == 0) {
        port = acceptors[i].local_endpoint().port();
      }
    }
    if (!taken) return;
    for (size_t i = 0; i < addresses.size(); ++i) {
      asio::error_code ignored;
      if (addresses[i].port == 0) acceptors[i].close(ignored);
    }
  }
  throw std::runtime_error("cannot find a free port that every terminal can share");
}

}  // namespace

std::vector<asio::ip::tcp::acceptor> BindListeners(asio::io_context& io,
                                                   const std::vector<ListenAddress>& addresses) {
  std::vector<asio::ip::tcp::acceptor> acceptors;
  for (size_t i = 0; i < addresses.size(); ++i) acceptors.emplace_back(io);
  for (size_t i = 0; i < addresses.size(); ++i) {
    if (addresses[i].port == 0) continue;
    asio::error_code error;
    if (!Bind(acceptors[i], Endpoint(addresses[i], addresses[i].port), error)) {
      CannotListen(Endpoint(addresses[i], addresses[i].port), error);
    }
  }
  BindShared(acceptors, addresses);
  return acceptors;
}
