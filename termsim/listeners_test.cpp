#include "termsim/listeners.h"

#include <gtest/gtest.h>

namespace {

TEST(Listeners, PortZeroListenersShareOneFreePort) {
  asio::io_context io;
  auto acceptors = BindListeners(io, {{"127.0.0.2", 0}, {"127.0.0.3", 0}, {"127.0.0.4", 0}});
  ASSERT_EQ(3u, acceptors.size());
  uint16_t port = acceptors[0].local_endpoint().port();
  EXPECT_NE(0, port);
  for (auto& acceptor : acceptors) EXPECT_EQ(port, acceptor.local_endpoint().port());
  EXPECT_EQ("127.0.0.3", acceptors[1].local_endpoint().address().to_string());
}

TEST(Listeners, AnAddressInUseIsNamedInTheError) {
  asio::io_context io;
  auto first = BindListeners(io, {{"127.0.0.2", 0}});
  uint16_t port = first[0].local_endpoint().port();
  try {
    BindListeners(io, {{"127.0.0.5", 0}, {"127.0.0.2", port}});
    FAIL() << "bound an address in use";
  } catch (const std::runtime_error& error) {
    EXPECT_NE(std::string::npos,
              std::string(error.what()).find("cannot listen on 127.0.0.2:" + std::to_string(port)));
  }
}

}  // namespace
