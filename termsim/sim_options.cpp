#include "termsim/sim_options.h"

#include <charconv>
#include <set>

#include <CLI/CLI.hpp>
#include <asio/ip/address.hpp>

#include "records/record_kinds.h"

std::optional<ListenAddress> ParseListenAddress(const std::string& text, std::string& error) {
  size_t colon = text.rfind(':');
  if (colon == std::string::npos) {
    error = "'" + text + "' is not ADDR:PORT";
    return std::nullopt;
  }
  std::string host = text.substr(0, colon);
  if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
    host = host.substr(1, host.size() - 2);
  }
  asio::error_code bad;
  asio::ip::address address = asio::ip::make_address(host, bad);
  const char* portBegin = text.data() + colon + 1;
  const char* portEnd = text.data() + text.size();
  uint16_t port = 0;
  auto [end, failure] = std::from_chars(portBegin, portEnd, port);
  if (bad || portBegin == portEnd || failure != std::errc() || end != portEnd) {
    error = "'" + text + "' is not ADDR:PORT with a numeric address and a port of 0 to 65535";
    return std::nullopt;
  }
  return ListenAddress{address.to_string(), port};
}

namespace {

// Counts and times are plain decimal digits: CLI11 would wrap "-1" around.
const CLI::Validator kDigits(
    [](std::string& text) {
      bool digits = !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
      return digits ? std::string() : "'" + text + "' is not a whole number of 0 or more";
    },
    "");

void AddOptions(CLI::App& app, SimOptions& options, std::vector<std::string>& listen) {
  app.add_option("--listen", listen,
                 "one terminal (repeatable; default 127.0.0.1:20404); port 0 picks a free "
                 "port shared by every listener that asks for 0")
      ->type_name("ADDR:PORT");
  app.add_option("--store", options.store,
                 "keep each terminal's records in files under DIR, across restarts")
      ->type_name("DIR");
  app.add_option("--capacity", options.capacity, "records per kind a terminal holds (3334)")
      ->type_name("N")
      ->check(kDigits);
  auto* dump = app.add_option("--dump", options.dumpAddress,
                              "print the records stored for terminal ADDR and exit")
                   ->type_name("ADDR");
  auto* kind =
      app.add_option("--kind", options.dumpKind, "kind of records to dump")
          ->check(CLI::IsMember(KindNames([](const RecordKind& kind) { return kind.writable; })));
  dump->needs(kind);
  kind->needs(dump);
  FaultOptions& faults = options.faults;
  app.add_flag("--refuse", faults.refuse, "close every connection right after accepting it");
  app.add_option("--drop-after", faults.dropAfter, "stop answering after N answers")
      ->type_name("N")
      ->check(kDigits);
  app.add_option("--close-after", faults.closeAfter,
                 "close the connection on the request after N answers")
      ->type_name("N")
      ->check(kDigits);
  app.add_option("--garbage-after", faults.garbageAfter,
                 "answer the request after N answers with one malformed frame")
      ->type_name("N")
      ->check(kDigits);
  app.add_option("--delay-ms", faults.delayMs, "delay every answer by MS milliseconds")
      ->type_name("MS")
      ->check(kDigits);
  auto* endAfter = app.add_option("--end-after", faults.endAfter,
                                  "end an upload after N records (counted per connection)")
                       ->type_name("N")
                       ->check(kDigits);
  app.add_option("--end-with", faults.endWith, "marker that ends the upload: 95, 99 or 65535")
      ->check(CLI::IsMember({95, 99, 65535}))
      ->needs(endAfter);
  app.add_flag("--verbose", options.verbose, "log every request and answer on stderr");
}

std::string CheckListen(const std::vector<std::string>& texts, SimOptions& options) {
  std::set<std::string> seen;
  for (const std::string& text : texts) {
    std::string error;
    std::optional<ListenAddress> listen = ParseListenAddress(text, error);
    if (!listen) return error;
    if (!seen.insert(listen->address).second) {
      return "terminal " + listen->address + " is given twice; each address is one terminal";
    }
    options.listen.push_back(*listen);
  }
  if (options.listen.empty()) options.listen.push_back({"127.0.0.1", 20404});
  return {};
}

}  // namespace

std::optional<SimOptions> ParseSimOptions(int argc, char** argv, int& exitCode) {
  CLI::App app{"orlent-termsim: simulated weighing terminals for Orlent and its link library"};
  SimOptions options;
  std::vector<std::string> listen;
  AddOptions(app, options, listen);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    exitCode = app.exit(error) == 0 ? 0 : 2;  // --help is no error
    return std::nullopt;
  }
  std::string problem = CheckListen(listen, options);
  if (problem.empty() && !options.dumpAddress.empty()) {
    asio::error_code bad;
    asio::ip::address address = asio::ip::make_address(options.dumpAddress, bad);
    if (bad)
      problem = "'" + options.dumpAddress + "' is not a numeric IP address";
    else if (options.store.empty())
      problem = "--dump needs --store";
    else
      options.dumpAddress = address.to_string();
  }
  if (!problem.empty()) {
    std::cerr << "orlent-termsim: " << problem << "\n";
    exitCode = 2;
    return std::nullopt;
  }
  return options;
}
