// AnswerCopy: an answer of the link library kept beyond the callback that
// delivered it. The library's packet, address text and data record are valid
// only during that call; the window's thread handles the copy later.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "termlink/termlink.h"

class AnswerCopy {
 public:
  explicit AnswerCopy(const RequestPacket& answer);
  AnswerCopy(const AnswerCopy&) = delete;  // Packet() points into this object
  AnswerCopy& operator=(const AnswerCopy&) = delete;

  // The answer, with Address and Data pointing at the copies (Data stays null
  // when the answer had none).
  const RequestPacket& Packet() const { return packet_; }

 private:
  std::string address_;
  std::vector<uint8_t> data_;
  RequestPacket packet_;
};
