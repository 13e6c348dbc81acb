#include "tests/support/fake_link.h"

#include <cstring>
#include <memory>

FakeLink* FakeLink::current = nullptr;

namespace {

std::string Text(const char* s) {
  return s ? std::string(s) : std::string();
}

FakeLink& Fake() {
  FakeLink::current->lastError = TERMLINK_OK;
  FakeLink::current->lastErrorText.clear();
  return *FakeLink::current;
}

int FakeSetCommLibrary(int kind, const char* transport) {
  Fake().calls.push_back({"SetCommLibrary", {kind}, {Text(transport)}});
  return 1;
}

int FakeAddInterpreter(int group, int id, const char* name) {
  FakeLink& fake = Fake();
  fake.calls.push_back({"AddInterpreter", {group, id}, {Text(name)}});
  if (Text(name).empty()) return fake.Fail(TERMLINK_SETUP, "an interpreter without a name");
  fake.interpreters.insert({group, id});
  return 1;
}

int FakeGetLibraryInfo(uint8_t* info, char* text) {
  FakeLink& fake = Fake();
  fake.calls.push_back({"GetLibraryInfo", {info ? info[0] : -1}, {Text(text)}});
  if (info) std::memcpy(info + 2, fake.versionInfo, 5);
  return 1;
}

int FakeAddProcConnection(int mode, const char* address, int port, int group, int id, int interval,
                          int retry, int code, DataCallbackFn data, SecondCallbackFn second) {
  FakeLink& fake = Fake();
  fake.calls.push_back(
      {"AddProcConnection", {mode, port, group, id, interval, retry, code}, {Text(address)}});
  if (!fake.SetUp(mode, Text(address), port, group, id, interval, retry)) return 0;
  fake.dataCallback = data;
  fake.secondCallback = second;
  fake.answerCallback = nullptr;
  fake.lostCallback = nullptr;
  fake.user = nullptr;
  return 1;
}

int FakeAddProcConnectionEx(int mode, const char* address, int port, int group, int id,
                            int interval, int retry, int code, TermLinkAnswerFn answer,
                            TermLinkLostFn lost, void* user) {
  FakeLink& fake = Fake();
  fake.calls.push_back(
      {"AddProcConnectionEx", {mode, port, group, id, interval, retry, code}, {Text(address)}});
  if (!fake.SetUp(mode, Text(address), port, group, id, interval, retry)) return 0;
  fake.dataCallback = nullptr;
  fake.secondCallback = nullptr;
  fake.answerCallback = answer;
  fake.lostCallback = lost;
  fake.user = user;
  return 1;
}

int FakeConnect(const char* address, int param) {
  FakeLink& fake = Fake();
  fake.calls.push_back({"Connect", {param}, {Text(address)}});
  const auto connection = fake.connections.find(Text(address));
  if (connection == fake.connections.end()) return fake.Fail(TERMLINK_SETUP, "address not set up");
  if (connection->second) return 1;
  if (fake.unreachable.count(Text(address)) || fake.connectResult == 0) {
    return fake.Fail(TERMLINK_REFUSED, fake.connectFailure);
  }
  connection->second = true;
  return fake.connectResult;
}

int FakeIsConnect(const char* address, int param) {
  FakeLink& fake = Fake();
  fake.calls.push_back({"IsConnect", {param}, {Text(address)}});
  if (!fake.Connected(Text(address))) return fake.Fail(TERMLINK_NOT_CONNECTED, "not connected");
  return fake.isConnectResult;
}

int FakeSendDataEx(RequestPacket packet) {
  FakeLink& fake = Fake();
  fake.calls.push_back({"SendDataEx", {packet.Code, packet.Direction, packet.DataLength}, {}});
  SentPacket copy{packet, Text(packet.Address), {}};
  if (packet.Data) {
    const auto* bytes = static_cast<const uint8_t*>(packet.Data);
    copy.data.assign(bytes, bytes + packet.DataLength);
  }
  fake.sent.push_back(std::move(copy));
  if (!fake.Connected(Text(packet.Address))) {
    return fake.Fail(TERMLINK_NOT_CONNECTED, "not connected");
  }
  return fake.sendResult;
}

int FakeDisconnect(const char* address, int param) {
  FakeLink& fake = Fake();
  fake.calls.push_back({"Disconnect", {param}, {Text(address)}});
  if (!fake.Connected(Text(address))) return fake.Fail(TERMLINK_NOT_CONNECTED, "not connected");
  fake.connections[Text(address)] = false;
  return fake.disconnectResult;
}

int FakeLastError(char* text, int size) {
  const FakeLink& fake = *FakeLink::current;
  if (text && size > 0) {
    const std::string cut = fake.lastErrorText.substr(0, static_cast<std::size_t>(size - 1));
    std::memcpy(text, cut.c_str(), cut.size() + 1);
  }
  return fake.lastError;
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
  table.AddProcConnectionEx = FakeAddProcConnectionEx;
  table.TermLinkLastError = FakeLastError;
  return table;
}

// The values the library refuses leave an earlier set-up of the address as it was.
int FakeLink::SetUp(int mode, const std::string& address, int port, int group, int id, int interval,
                    int retry) {
  if (mode != 1 || address.empty() || port < 1 || port > 65535 || interval < 1 || retry < 1 ||
      !interpreters.contains({group, id})) {
    return Fail(TERMLINK_SETUP, "refused set-up");
  }
  connections.emplace(address, false);
  connectionAddress = address;
  return 1;
}

int FakeLink::Fail(int code, std::string text) {
  lastError = code;
  lastErrorText = std::move(text);
  return 0;
}

std::vector<std::string> FakeLink::CallNames() const {
  std::vector<std::string> names;
  for (const auto& call : calls) names.push_back(call.name);
  return names;
}

bool FakeLink::Connected(const std::string& address) const {
  const auto connection = connections.find(address);
  return connection != connections.end() && connection->second;
}

bool FakeLink::Deliver(uint8_t code, uint16_t direction, const void* data, uint16_t length,
                       const std::string& address) {
  const std::string from = address.empty() ? connectionAddress : address;
  if (!Connected(from)) return false;
  auto buffer = std::make_unique<uint8_t[]>(length ? length : 1);
  if (data) std::memcpy(buffer.get(), data, length);
  RequestPacket answer{};
  answer.Id = -1;
  answer.Address = from.c_str();
  answer.Channel = 1;
  answer.Code = code;
  answer.InterpreterGroup = 100;
  answer.InterpreterId = 5010;
  answer.Direction = direction;
  answer.DataLength = length;
  answer.Data = data ? buffer.get() : nullptr;
  if (answerCallback) {
    answerCallback(user, &answer);
  } else if (dataCallback) {
    dataCallback(answer);
  }
  std::memset(buffer.get(), 0xEE, length ? length : 1);  // the library reuses its buffer
  return true;
}

void FakeLink::Lose(const std::string& address) {
  const std::string from = address.empty() ? connectionAddress : address;
  if (!Connected(from)) return;
  connections[from] = false;
  if (lostCallback) {
    lostCallback(user, from.c_str(), "closed by the terminal");
  } else if (secondCallback) {
    secondCallback();
  }
}
