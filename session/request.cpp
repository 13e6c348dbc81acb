#include "session/request.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "session/terminal_session.h"

namespace {
constexpr int16_t kRequestId = -1;
constexpr uint8_t kChannel = 1;
constexpr uint16_t kInterpreterGroup = 100;
constexpr uint16_t kInterpreterId = 5010;
constexpr int kAnyConnection = -1;
}  // namespace

RequestOutcome SendRequest(TerminalSession& session, uint8_t code, uint16_t direction,
                           const void* data, uint16_t length) {
  // The packet, its address text and its data record belong to this call
  // alone: the library may keep nothing of them beyond SendDataEx.
  const std::string address = session.Address();
  std::vector<uint8_t> record(length);
  if (data) std::copy_n(static_cast<const uint8_t*>(data), length, record.begin());

  RequestPacket packet;
  std::memset(&packet, 0, sizeof packet);  // reserved bytes and padding go out as zero
  packet.Id = kRequestId;
  packet.Address = address.c_str();
  packet.Channel = kChannel;
  packet.Code = code;
  packet.InterpreterGroup = kInterpreterGroup;
  packet.InterpreterId = kInterpreterId;
  packet.Direction = direction;
  packet.DataLength = length;
  packet.Data = record.data();

  RequestOutcome outcome = RequestOutcome::NotConnected;
  if (session.Link().IsConnect(address.c_str(), kAnyConnection) == 1) {
    outcome =
        session.Link().SendDataEx(packet) != 0 ? RequestOutcome::Sent : RequestOutcome::Refused;
  }
  session.ArmAnswerTimeout();
  if (outcome == RequestOutcome::NotConnected) session.LinkDown();
  return outcome;
}
