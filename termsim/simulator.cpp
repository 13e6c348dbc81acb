#include "termsim/simulator.h"

#include <csignal>
#include <iostream>
#include <list>
#include <memory>

#include <asio/io_context.hpp>
#include <asio/signal_set.hpp>

#include "termsim/accept_loop.h"
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

// Serves a connection to `simulated`, or closes it at once under --refuse.
void Serve(asio::ip::tcp::socket socket, SimulatedTerminal& simulated, const SimOptions& options) {
  if (options.faults.refuse) {
    asio::error_code ignored;
    socket.close(ignored);
    return;
  }
  std::make_shared<Session>(std::move(socket), simulated.terminal, options.faults, options.verbose)
      ->Start();
}

}  // namespace

int RunSimulator(const SimOptions& options) {
  std::signal(SIGPIPE, SIG_IGN);
  asio::io_context io(1);
  asio::signal_set stop(io, SIGINT, SIGTERM);
  std::list<SimulatedTerminal> terminals;
  for (const ListenAddress& listen : options.listen) terminals.emplace_back(listen, options);
  std::vector<asio::ip::tcp::acceptor> acceptors = BindListeners(io, options.listen);

  std::list<AcceptLoop> loops;
  auto terminal = terminals.begin();
  for (asio::ip::tcp::acceptor& acceptor : acceptors) {
    asio::ip::tcp::endpoint local = acceptor.local_endpoint();
    std::string host = local.address().to_string();
    if (local.address().is_v6()) host = "[" + host + "]";
    std::cout << "listening " << host << ":" << local.port() << "\n";
    SimulatedTerminal& simulated = *terminal++;
    loops.emplace_back(acceptor, simulated.terminal.address(),
                       [&simulated, &options](asio::ip::tcp::socket socket) {
                         Serve(std::move(socket), simulated, options);
                       });
    loops.back().Start();
  }
  std::cout.flush();

  stop.async_wait([&io](const asio::error_code&, int) { io.stop(); });
  io.run();
  for (SimulatedTerminal& simulated : terminals) simulated.memory.Save();
  return 0;
}
