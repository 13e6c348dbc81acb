// The command line of orlent-termsim: the terminals to listen as, where their
// records are kept, the dump mode, and the faults to play for reliability
// tests.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct ListenAddress {
  std::string address;  // numeric IP address, also the terminal's name in the store
  uint16_t port = 0;    // 0: a free port, shared by every listener that asks for 0
};

// Faults are counted per connection.
struct FaultOptions {
  bool refuse = false;                   // close each connection right after accepting it
  std::optional<uint64_t> dropAfter;     // after N answers, read requests but answer none
  std::optional<uint64_t> closeAfter;    // the request after N answers closes the connection
  std::optional<uint64_t> garbageAfter;  // the request after N answers gets a malformed frame
  uint32_t delayMs = 0;                  // every answer waits this long
  std::optional<uint64_t> endAfter;      // after N read answers, end the upload ...
  uint32_t endWith = 99;                 // ... with this marker: 95, 99 or 65535
};

struct SimOptions {
  std::vector<ListenAddress> listen;
  std::string store;  // folder of the terminals' record files; empty: memory only
  uint32_t capacity = 3334;
  std::string dumpAddress;  // set: print this terminal's records and exit
  std::string dumpKind;
  FaultOptions faults;
  bool verbose = false;
};

// Parses the command line. Returns the options, or nothing after printing
// the help or an error; `exitCode` then holds the code to exit with.
std::optional<SimOptions> ParseSimOptions(int argc, char** argv, int& exitCode);

// "ADDR:PORT" with a numeric IPv4 address, or "[ADDR]:PORT" with IPv6.
std::optional<ListenAddress> ParseListenAddress(const std::string& text, std::string& error);
