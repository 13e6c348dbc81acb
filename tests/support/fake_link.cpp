#include "tests/support/fake_link.h"

#include <cstring>
#include <memory>

FakeLink* FakeLink::current = nullptr;

namespace {

std::string Text(const char* s) {
  return s ? std::string(s) : std::string();
}

int FakeSetCommLibrary(int kind, const char* transport) {
  FakeLink::current->calls.push_back({"SetCommLibrary", {kind}, {Text(transport)}});
  return 1;
}

int FakeAddInterpreter(int group, int id, const char* name) {
  FakeLink::current->calls.push_back({"AddInterpreter", {group, id}, {Text(name)}});
  return 1;
}

int FakeGetLibraryInfo(uint8_t* info, char* text) {
  FakeLink::current->calls.push_back({"GetLibraryInfo", {info ? info[0] : -1}, {Text(text)}});
  if (info) std::memcpy(info + 2, FakeLink::current->versionInfo, 5);
  return 1;
}

int FakeAddProcConnection(int mode, const char* address, int port, int group, int id, int interval,
                          int retry, int code, DataCallbackFn data, SecondCallbackFn second) {
  FakeLink* fake = FakeLink::current;
  fake->calls.push_back(
      {"AddProcConnection", {mode, port, group, id, interval, retry, code}, {Text(address)}});
  fake->dataCallback = data;
  fake->secondCallback = second;
  fake->connectionAddress = Text(address);
  return 1;
}

int FakeConnect(const char* address, int param) {
  FakeLink::current->calls.push_back({"Connect", {param}, {Text(address)}});
  if (FakeLink::current->unreachable.count(Text(address))) return 0;
  return FakeLink::current->connectResult;
}

int FakeIsConnect(const char* address, int param) {
  FakeLink::current->calls.push_back({"IsConnect", {param}, {Text(address)}});
  return FakeLink::current->isConnectResult;
}

int FakeSendDataEx(RequestPacket packet) {
  FakeLink* fake = FakeLink::current;
  fake->calls.push_back({"SendDataEx", {packet.Code, packet.Direction, packet.DataLength}, {}});
  SentPacket copy{packet, Text(packet.Address), {}};
  if (packet.Data) {
    const auto* bytes = static_cast<const uint8_t*>(packet.Data);
    copy.data.assign(bytes, bytes + packet.DataLength);
  }
  fake->sent.push_back(std::move(copy));
  return fake->sendResult;
}

int FakeDisconnect(const char* address, int param) {
  FakeLink::current->calls.push_back({"Disconnect", {param}, {Text(address)}});
  return FakeLink::current->disconnectResult;
}

}  // namespace

FakeLink::FakeLink() {
  current = this;
}

FakeLink::~FakeLink() {
  if (current == this) current = nullptr;
}

LinkLibrary FakeLink::Table() const {
  LinkLibrary table;
  table.SetCommLibrary = FakeSetCommLibrary;
  table.AddInterpreter = FakeAddInterpreter;
  table.GetLibraryInfo = FakeGetLibraryInfo;
  table.AddProcConnection = FakeAddProcConnection;
  table.Connect = FakeConnect;
  table.IsConnect = FakeIsConnect;
  table.SendDataEx = FakeSendDataEx;
  table.Disconnect = FakeDisconnect;
  return table;
}

std::vector<std::string> FakeLink::CallNames() const {
  std::vector<std::string> names;
  for (const auto& call : calls) names.push_back(call.name);
  return names;
}

int FakeLink::Deliver(uint8_t code, uint16_t direction, const void* data, uint16_t length,
                      const std::string& address) {
  auto buffer = std::make_unique<uint8_t[]>(length ? length : 1);
  if (data) std::memcpy(buffer.get(), data, length);
  RequestPacket answer{};
  answer.Id = -1;
  answer.Address = address.empty() ? connectionAddress.c_str() : address.c_str();
  answer.Channel = 1;
  answer.Code = code;
  answer.InterpreterGroup = 100;
  answer.InterpreterId = 5010;
  answer.Direction = direction;
  answer.DataLength = length;
  answer.Data = data ? buffer.get() : nullptr;
  const int result = dataCallback ? dataCallback(answer) : 0;
  std::memset(buffer.get(), 0xEE, length ? length : 1);  // the library reuses its buffer
  return result;
}
