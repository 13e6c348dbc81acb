// Round trips per second of a libmodbus client reading 125 holding registers
// (the most one request may ask for) from a libmodbus server in another
// process on loopback, one request at a time. Measured in several rounds;
// the best round counts, as in link_bench, so that a busy moment of the
// machine does not decide the figure.
#include <modbus.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <netinet/in.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

namespace {

constexpr const char* kAddress = "127.0.0.1";
constexpr int kRegisters = 125;
constexpr int kRoundTrips = 20000;
constexpr int kRounds = 5;

std::string Failure(const char* what) {
  return std::string(what) + ": " + modbus_strerror(errno);
}

// Serves one client connection after another until killed.
[[noreturn]] void Serve(modbus_t* server, int listener) {
  modbus_mapping_t* registers = modbus_mapping_new(0, 0, kRegisters, 0);
  if (!registers) std::_Exit(1);
  for (int i = 0; i < kRegisters; ++i) registers->tab_registers[i] = static_cast<uint16_t>(i * 7);
  uint8_t query[MODBUS_TCP_MAX_ADU_LENGTH];
  for (;;) {
    if (modbus_tcp_accept(server, &listener) < 0) std::_Exit(1);
    for (int length; (length = modbus_receive(server, query)) >= 0;) {
      if (length > 0 && modbus_reply(server, query, length, registers) < 0) break;
    }
    modbus_close(server);
  }
}

// Forks the server on a free port of the loopback address; returns its pid.
pid_t StartServer(int& port) {
  modbus_t* server = modbus_new_tcp(kAddress, 0);
  if (!server) throw std::runtime_error(Failure("modbus_new_tcp"));
  const int listener = modbus_tcp_listen(server, 1);
  if (listener < 0) throw std::runtime_error(Failure("modbus_tcp_listen"));
  sockaddr_in where{};
  socklen_t size = sizeof where;
  getsockname(listener, reinterpret_cast<sockaddr*>(&where), &size);
  port = ntohs(where.sin_port);
  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork");
  if (pid == 0) Serve(server, listener);
  close(listener);
  modbus_free(server);
  return pid;
}

double ReadRate(modbus_t* client) {
  uint16_t registers[kRegisters];
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kRoundTrips; ++i) {
    if (modbus_read_registers(client, 0, kRegisters, registers) != kRegisters) {
      throw std::runtime_error(Failure("modbus_read_registers"));
    }
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (registers[kRegisters - 1] != (kRegisters - 1) * 7)
    throw std::runtime_error("wrong registers");
  return kRoundTrips / seconds;
}

}  // namespace

int main() {
  pid_t server = -1;
  try {
    int port = 0;
    server = StartServer(port);
    modbus_t* client = modbus_new_tcp(kAddress, port);
    if (!client || modbus_connect(client) != 0) throw std::runtime_error(Failure("modbus_connect"));
    ReadRate(client);  // warm-up of both sides
    double best = 0;
    for (int round = 0; round < kRounds; ++round) best = std::max(best, ReadRate(client));
    modbus_close(client);
    modbus_free(client);
    kill(server, SIGTERM);
    waitpid(server, nullptr, 0);
    std::printf("libmodbus %s, read of %d registers, best of %d rounds of %d\n",
                LIBMODBUS_VERSION_STRING, kRegisters, kRounds, kRoundTrips);
    std::printf("libmodbus client + server: %10.0f round trips/s\n", best);
    return 0;
  } catch (const std::exception& error) {
    if (server > 0) kill(server, SIGTERM);
    std::fprintf(stderr, "modbus_bench: %s\n", error.what());
    return 1;
  }
}
