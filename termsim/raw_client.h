// A bare loopback TCP client for the simulator's tests: it sends frames as a
// library would, or as a faulty one would, and reads what comes back without
// any of the library's own handling in the way.
#pragma once

#include <chrono>
#include <cstdint>
#include <span>
#include <vector>

class RawClient {
 public:
  // Connects to 127.0.0.1:`port`; a `receiveBuffer` above 0 sets SO_RCVBUF first.
  explicit RawClient(int port, int receiveBuffer = 0);
  ~RawClient();
  RawClient(const RawClient&) = delete;
  RawClient& operator=(const RawClient&) = delete;

  // Sends every byte; false with `error` set to the errno that stopped it, or
  // to ETIMEDOUT when the other side takes nothing for `timeout`.
  bool SendAll(std::span<const uint8_t> bytes, int& error,
               std::chrono::milliseconds timeout = std::chrono::seconds(10));
  // Ends the sending side (FIN): the other side reads the end of the stream.
  void EndSending();

  struct Received {
    std::vector<uint8_t> bytes;
    bool ended = false;  // the stream ended in order (FIN)
    int error = 0;       // the errno that broke the stream, e.g. ECONNRESET
  };
  // Reads until the stream ends or breaks, or `timeout` passes.
  Received ReadToEnd(std::chrono::milliseconds timeout);
  // Reads one greeting frame; false when none comes within `timeout`.
  bool ReadGreeting(std::chrono::milliseconds timeout);

 private:
  int fd_ = -1;
};

// One request frame of the kind `code` for record `number`; a write carries a
// record with only its number set.
std::vector<uint8_t> RequestFrame(uint8_t code, uint16_t direction, int64_t number);

// The record numbers of the answer frames in `bytes`, after the greeting, as
// far as whole frames go; `rest` is set to the count of bytes left over.
std::vector<int64_t> AnsweredNumbers(std::span<const uint8_t> bytes, size_t& rest);
