#include "termsim/simulator.h"

#include <csignal>
#include <iostream>
#include <list>
#include <memory>

#include <asio/io_context.hpp>
#include <asio/signal_set.hpp>

#include "termsim/listeners.h"
#include "termsim/session.h"
#include "termsim/terminal.h"
#include "termsim/terminal_memory.h"

namespace {

struct SimulatedTerminal {
  SimulatedTerminal(const ListenAddress& listen, const SimOptions& options)
      : memory(options.store.empty() ? "" : options.store + "/" + listen.address, options.capacity),
        terminal(listen.address, memory) {}

  TerminalMemory memory;
  Terminal terminal;
};

void Accept(asio::ip::tcp::acceptor& acceptor, SimulatedTerminal& simulated,
            const SimOptions& options) {
  acceptor.async_accept([&acceptor, &simulated, &options](const asio::error_code& error,
                                                          asio::ip::tcp::socket socket) {
    if (error == asio::error::operation_aborted) return;
    if (!error) {
      if (options.faults.refuse) {
        asio::error_code ignored;
        socket.close(ignored);
      } else {
        std::make_shared<Session>(std::move(socket), simulated.terminal, options.faults,
                                  options.verbose)
            ->Start();
      }
    }
    Accept(acceptor, simulated, options);
  });
}

}  // namespace

int RunSimulator(const SimOptions& options) {
  std::signal(SIGPIPE, SIG_IGN);
  asio::io_context io(1);
  asio::signal_set stop(io, SIGINT, SIGTERM);
  std::list<SimulatedTerminal> terminals;
  for (const ListenAddress& listen : options.listen) terminals.emplace_back(listen, options);
  std::vector<asio::ip::tcp::acceptor> acceptors = BindListeners(io, options.listen);

  auto terminal = terminals.begin();
  for (asio::ip::tcp::acceptor& acceptor : acceptors) {
    asio::ip::tcp::endpoint local = acceptor.local_endpoint();
    std::string host = local.address().to_string();
    if (local.address().is_v6()) host = "[" + host + "]";
    std::cout << "listening " << host << ":" << local.port() << "\n";
    Accept(acceptor, *terminal++, options);
  }
  std::cout.flush();

  stop.async_wait([&io](const asio::error_code&, int) { io.stop(); });
  io.run();
  for (SimulatedTerminal& simulated : terminals) simulated.memory.Save();
  return 0;
}
