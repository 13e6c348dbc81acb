// Binding the terminals' listening sockets. Every listener that asks for
// port 0 gets the same free port, so several terminals on several loopback
// addresses share one port as real terminals do.
#pragma once

#include <vector>

#include <asio/io_context.hpp>
#include <asio/ip/tcp.hpp>

#include "termsim/sim_options.h"

// One listening acceptor per address, in the order given. Throws
// std::runtime_error naming the address that cannot be bound.
std::vector<asio::ip::tcp::acceptor> BindListeners(asio::io_context& io,
                                                   const std::vector<ListenAddress>& addresses);
