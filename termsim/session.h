// One connection to a simulated terminal: greets the library, reads request
// frames, answers them one at a time in order, and plays the faults asked
// for on the command line. A malformed or unexpected frame closes it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <asio/ip/tcp.hpp>
#include <asio/steady_timer.hpp>

#include "termlink/wire_codec.h"
#include "termsim/sim_options.h"
#include "termsim/terminal.h"

class Session : public std::enable_shared_from_this<Session> {
 public:
  Session(asio::ip::tcp::socket socket, Terminal& terminal, const FaultOptions& faults,
          bool verbose);
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  void Start();

 private:
  void ReadMore();
  void OnRead(const asio::error_code& error, size_t count);
  void TakeFrames();
  void Handle(const termlink::Frame& frame);
  bool PlayFault();
  void Answer(const termlink::FrameHeader& request, std::span<const uint8_t> record);
  void EndUploadIfDue(const termlink::RecordKind& kind, TerminalAnswer& answer);
  void Send(const std::vector<uint8_t>& bytes);
  void StartWrite();
  void Close(const std::string& why, bool protocolError = false);
  void Log(const std::string& text) const;

  asio::ip::tcp::socket socket_;
  asio::steady_timer delay_;
  Terminal& terminal_;
  const FaultOptions& faults_;
  bool verbose_;
  termlink::FrameReader reader_;
  bool reading_ = false;
  bool delaying_ = false;  // an answer waits for its delay; requests wait behind it
  bool closed_ = false;
  std::vector<uint8_t> queued_;
  std::vector<uint8_t> sending_;
  bool writing_ = false;
  uint64_t answers_ = 0;      // answers sent on this connection
  uint64_t readAnswers_ = 0;  // of them, answers to reads
  bool garbageSent_ = false;
  bool uploadEnded_ = false;
};
