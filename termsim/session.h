// One connection to a simulated terminal: greets the library, reads request
// frames, answers them one at a time in order, and plays the faults asked
// for on the command line. A malformed or unexpected frame ends it, after the
// answers already due; a library that stops reading its answers has it dropped.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <asio/ip/tcp.hpp>
#include <asio/steady_timer.hpp>

#include "termlink/wire_codec.h"
#include "termsim/sim_options.h"
#include "termsim/terminal.h"

// Answers waiting for a library that does not read them, past which the
// connection is dropped. The library keeps at most 4096 requests waiting,
// fewer than 8 MiB of answers of the largest record, so only a client that
// stopped reading gets here.
inline constexpr size_t kMaxQueuedAnswerBytes = size_t{8} << 20;
// How long an ending connection may take to deliver its last answers and to
// see the library's end of the stream before it is closed anyway.
inline constexpr std::chrono::seconds kEndingTime{2};

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
  // Ends the conversation: no further request is taken, the answers already
  // due go out, then the connection ends in order.
  void Close(const std::string& why, bool protocolError = false);
  void EndOfInput(const asio::error_code& error);
  void FinishIfDone();
  // Closes the socket at once: the connection broke or is dropped.
  void CloseNow(const std::string& why, bool always = false);
  void Log(const std::string& text) const;

  asio::ip::tcp::socket socket_;
  asio::steady_timer delay_;
  asio::steady_timer endBy_;  // bounds the orderly end
  Terminal& terminal_;
  const FaultOptions& faults_;
  bool verbose_;
  termlink::FrameReader reader_;
  bool reading_ = false;
  bool delaying_ = false;                // an answer waits for its delay; requests wait behind it
  bool ending_ = false;                  // no further request is taken
  bool inputEnded_ = false;              // the library's side of the stream has ended
  bool sendEnded_ = false;               // the end of the stream has been sent
  bool closed_ = false;                  // the socket is closed
  std::array<uint8_t, 4096> discard_{};  // input read after the end
  std::vector<uint8_t> queued_;
  std::vector<uint8_t> sending_;
  size_t unsent_ = 0;  // bytes of sending_ that the socket has not taken yet
  bool writing_ = false;
  uint64_t answers_ = 0;      // answers sent on this connection
  uint64_t readAnswers_ = 0;  // of them, answers to reads
  bool garbageSent_ = false;
  bool uploadEnded_ = false;
};
