// The wire format between the link library and a terminal: length-checked
// frames of a fixed 20-byte little-endian header (magic, version, frame type
// and the request packet's fields) followed by at most one record. Both the
// library and the terminal simulator encode and cut frames with this module.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "termlink/record_table.h"

namespace termlink {

inline constexpr std::array<uint8_t, 4> kWireMagic = {'T', 'L', 'N', 'K'};
inline constexpr uint8_t kWireVersion = 1;
inline constexpr size_t kHeaderSize = 20;
inline constexpr size_t kMaxFrameSize = kHeaderSize + kMaxRecordSize;

enum class FrameType : uint8_t {
  kGreeting = 1,  // terminal to library, once, right after the connection opens
  kRequest = 2,   // library to terminal
  kAnswer = 3,    // terminal to library, one per request, in request order
};

struct FrameHeader {
  FrameType type = FrameType::kRequest;
  int16_t id = 0;
  uint8_t channel = 0;
  uint8_t code = 0;
  uint16_t interpreterGroup = 0;
  uint16_t interpreterId = 0;
  uint16_t direction = 0;
  uint16_t dataLength = 0;
};

// Appends one frame to `out`: the header, then `header.dataLength` bytes from
// `data`. The caller keeps dataLength within kMaxRecordSize.
void AppendFrame(std::vector<uint8_t>& out, const FrameHeader& header, const void* data);

// The header in `bytes`, or nothing with `error` set when the magic, version,
// frame type, reserved bytes or length are not acceptable.
std::optional<FrameHeader> DecodeHeader(std::span<const uint8_t, kHeaderSize> bytes,
                                        std::string& error);

struct Frame {
  FrameHeader header;
  std::span<const uint8_t> data;  // dataLength bytes, valid until the next Space()
};

// Cuts the byte stream of one connection into frames. Bytes go in through
// Space() and Commit(); whole frames come out of Next(). Once a bad header
// is seen the stream stays bad: a connection cannot find its way back into
// step after garbage, so its owner closes it.
class FrameReader {
 public:
  enum class Result { kFrame, kNeedMore, kBad };

  // Room for the next bytes read from the connection. Call it after Next()
  // has taken every whole frame: the room is then never empty.
  std::span<uint8_t> Space();
  // Marks `count` bytes of the last Space() as received.
  void Commit(size_t count);
  Result Next(Frame& frame);
  // Why the stream went bad.
  const std::string& error() const { return error_; }

 private:
  std::array<uint8_t, 8 * kMaxFrameSize> buffer_{};
  size_t begin_ = 0;  // first byte not yet taken as a frame
  size_t end_ = 0;    // one past the last received byte
  std::string error_;
};

}  // namespace termlink
