#include "termlink/wire_codec.h"

#include <algorithm>
#include <cstring>

namespace termlink {
namespace {

void Put16(uint8_t* out, uint16_t value) {
  out[0] = static_cast<uint8_t>(value);
  out[1] = static_cast<uint8_t>(value >> 8);
}

uint16_t Get16(const uint8_t* in) {
  return static_cast<uint16_t>(in[0] | (in[1] << 8));
}

bool KnownType(uint8_t type) {
  return type >= static_cast<uint8_t>(FrameType::kGreeting) &&
         type <= static_cast<uint8_t>(FrameType::kAnswer);
}

}  // namespace

void AppendFrame(std::vector<uint8_t>& out, const FrameHeader& header, const void* data) {
  std::array<uint8_t, kHeaderSize> bytes{};
  std::copy(kWireMagic.begin(), kWireMagic.end(), bytes.begin());
  bytes[4] = kWireVersion;
  bytes[5] = static_cast<uint8_t>(header.type);
  Put16(&bytes[6], static_cast<uint16_t>(header.id));
  bytes[8] = header.channel;
  bytes[9] = header.code;
  Put16(&bytes[10], header.interpreterGroup);
  Put16(&bytes[12], header.interpreterId);
  Put16(&bytes[14], header.direction);
  Put16(&bytes[16], header.dataLength);
  // bytes 18 and 19 are reserved and stay zero
  out.insert(out.end(), bytes.begin(), bytes.end());
  const auto* record = static_cast<const uint8_t*>(data);
  if (header.dataLength > 0) out.insert(out.end(), record, record + header.dataLength);
}

std::optional<FrameHeader> DecodeHeader(std::span<const uint8_t, kHeaderSize> bytes,
                                        std::string& error) {
  if (!std::equal(kWireMagic.begin(), kWireMagic.end(), bytes.begin())) {
    error = "bad magic";
    return std::nullopt;
  }
  if (bytes[4] != kWireVersion) {
    error = "unsupported protocol version " + std::to_string(bytes[4]);
    return std::nullopt;
  }
  if (!KnownType(bytes[5])) {
    error = "unknown frame type " + std::to_string(bytes[5]);
    return std::nullopt;
  }
  if (bytes[18] != 0 || bytes[19] != 0) {
    error = "reserved header bytes are not zero";
    return std::nullopt;
  }
  FrameHeader header;
  header.type = static_cast<FrameType>(bytes[5]);
  header.id = static_cast<int16_t>(Get16(&bytes[6]));
  header.channel = bytes[8];
  header.code = bytes[9];
  header.interpreterGroup = Get16(&bytes[10]);
  header.interpreterId = Get16(&bytes[12]);
  header.direction = Get16(&bytes[14]);
  header.dataLength = Get16(&bytes[16]);
  if (header.dataLength > kMaxRecordSize) {
    error = "frame of " + std::to_string(header.dataLength) + " data bytes is over the limit of " +
            std::to_string(kMaxRecordSize);
    return std::nullopt;
  }
  return header;
}

std::span<uint8_t> FrameReader::Space() {
  if (begin_ > 0) {
    std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
  }
  return std::span<uint8_t>(buffer_).subspan(end_);
}

void FrameReader::Commit(size_t count) {
  end_ = std::min(end_ + count, buffer_.size());
}

FrameReader::Result FrameReader::Next(Frame& frame) {
  if (!error_.empty()) return Result::kBad;
  if (end_ - begin_ < kHeaderSize) return Result::kNeedMore;
  std::span<const uint8_t, kHeaderSize> head(buffer_.data() + begin_, kHeaderSize);
  std::optional<FrameHeader> header = DecodeHeader(head, error_);
  if (!header) return Result::kBad;
  size_t whole = kHeaderSize + header->dataLength;
  if (end_ - begin_ < whole) return Result::kNeedMore;
  frame.header = *header;
  frame.data = std::span<const uint8_t>(buffer_.data() + begin_ + kHeaderSize, header->dataLength);
  begin_ += whole;
  return Result::kFrame;
}

}  // namespace termlink
