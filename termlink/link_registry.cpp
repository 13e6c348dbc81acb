#include "termlink/link_registry.h"

#include <strings.h>
#include <unistd.h>

#include "termlink/dialer.h"
#include "termlink/link_failure.h"
#include "termlink/record_table.h"
#include "termlink/trace.h"

namespace termlink {
namespace {

constexpr int kTcpKind = 1;
constexpr const char* kTcpTransport = "TLTCPIP.DLL";
constexpr int kDialMode = 1;  // the terminal listens, the library dials

bool Empty(const char* text) {
  return !text || !*text;
}

// Notes why the call failed, for TermLinkLastError, and returns the call's 0.
int Failed(int code, std::string text) {
  SetLastFailure({code, std::move(text)});
  return 0;
}

// Why AddProcConnection refuses these values, or "" when it takes them.
std::string SetUpProblem(int mode, const char* address, int port, int interval, int retry) {
  if (mode != kDialMode) return "mode " + std::to_string(mode) + " is not 1";
  if (Empty(address)) return "no address";
  if (port < 1 || port > 65535) return "port " + std::to_string(port) + " is not 1 to 65535";
  if (interval < 1) return "interval " + std::to_string(interval) + " is under 1 ms";
  if (retry < 1) return "retry " + std::to_string(retry) + " is under 1";
  return "";
}

}  // namespace

LinkRegistry& LinkRegistry::Instance() {
  // Never destroyed: a connection's threads may still run while the process
  // exits.
  static LinkRegistry* registry = new LinkRegistry;
  return *registry;
}

int LinkRegistry::SetCommLibrary(int kind, const char* transport) {
  std::lock_guard lock(mutex_);
  tcpTransport_ = kind == kTcpKind && transport && strcasecmp(transport, kTcpTransport) == 0;
  return tcpTransport_ ? 1 : Failed(TERMLINK_SETUP, "no such transport");
}

int LinkRegistry::AddInterpreter(int group, int id, const char* name) {
  if (Empty(name)) return Failed(TERMLINK_SETUP, "an interpreter without a name");
  std::lock_guard lock(mutex_);
  interpreters_.insert({group, id});
  return 1;
}

int LinkRegistry::AddProcConnection(int mode, const char* address, int port, int group, int id,
                                    int interval, int retry, Callbacks callbacks) {
  const std::string problem = SetUpProblem(mode, address, port, interval, retry);
  if (!problem.empty()) return Failed(TERMLINK_SETUP, problem);
  std::lock_guard lock(mutex_);
  if (!interpreters_.contains({group, id})) {
    return Failed(TERMLINK_SETUP, "interpreter " + std::to_string(group) + "/" +
                                      std::to_string(id) + " is not registered");
  }
  Connection& connection = connections_[address];
  connection.port = port;
  connection.interval = interval;
  connection.retry = retry;
  connection.callbacks = callbacks;
  if (connection.link) connection.link->SetCallbacks(callbacks);
  return 1;
}

int LinkRegistry::Connect(const char* address) {
  if (Empty(address)) return Failed(TERMLINK_SETUP, "no address");
  Connection settings;
  std::shared_ptr<DialCancel> cancel;
  {
    std::lock_guard lock(mutex_);
    auto it = connections_.find(address);
    if (!tcpTransport_) return Failed(TERMLINK_SETUP, "no TCP transport selected");
    if (it == connections_.end()) return Failed(TERMLINK_SETUP, "address not set up");
    if (it->second.link && it->second.link->IsOpen()) return 1;
    settings = it->second;
    if (!it->second.dialing) it->second.dialing = std::make_shared<DialCancel>();
    cancel = it->second.dialing;
    ++cancel->dials;
  }
  // The attempts take up to retry x interval; no lock is held meanwhile, so
  // other connections and callbacks go on, and a Disconnect ends them.
  DialResult dialed = Dial(address, settings.port, settings.interval, settings.retry, cancel->fd());
  std::lock_guard lock(mutex_);
  Connection& connection = connections_[address];
  if (--cancel->dials == 0 && connection.dialing == cancel) connection.dialing.reset();
  if (dialed.fd >= 0 && cancel->Cancelled()) {
    close(dialed.fd);  // disconnected while the greeting came
    dialed = {-1, {TERMLINK_CANCELLED, "cancelled by Disconnect"}};
  }
  if (dialed.fd < 0) {
    Trace(address, "connect failed: " + dialed.failure.text);
    return Failed(dialed.failure.code, dialed.failure.text);
  }
  if (connection.link && connection.link->IsOpen()) {
    close(dialed.fd);  // another thread connected this address meanwhile
    return 1;
  }
  connection.link = std::make_shared<TerminalLink>(address, dialed.fd, connection.callbacks);
  connection.link->Start();
  return 1;
}

std::shared_ptr<TerminalLink> LinkRegistry::OpenLink(const char* address) {
  if (Empty(address)) return nullptr;
  std::lock_guard lock(mutex_);
  auto it = connections_.find(address);
  if (it == connections_.end() || !it->second.link || !it->second.link->IsOpen()) return nullptr;
  return it->second.link;
}

int LinkRegistry::IsConnect(const char* address) {
  return OpenLink(address) ? 1 : Failed(TERMLINK_NOT_CONNECTED, "not connected");
}

std::string LinkRegistry::CheckRequest(const RequestPacket& packet) {
  if (!packet.Data) return "no data record";
  if (packet.InterpreterId != kRecordInterpreterId) {
    return "interpreter " + std::to_string(packet.InterpreterId) + " knows no records";
  }
  {
    std::lock_guard lock(mutex_);
    if (!interpreters_.contains({packet.InterpreterGroup, packet.InterpreterId})) {
      return "interpreter " + std::to_string(packet.InterpreterGroup) + "/" +
             std::to_string(packet.InterpreterId) + " is not registered";
    }
  }
  return CheckRecordFields(packet.Code, packet.Direction, packet.DataLength);
}

int LinkRegistry::SendDataEx(const RequestPacket& packet) {
  std::shared_ptr<TerminalLink> link = OpenLink(packet.Address);
  if (!link) return Failed(TERMLINK_NOT_CONNECTED, "not connected");
  std::string problem = CheckRequest(packet);
  if (!problem.empty()) {
    Trace(packet.Address, "request refused: " + problem);
    return Failed(TERMLINK_BAD_REQUEST, problem);
  }
  FrameHeader header;
  header.type = FrameType::kRequest;
  header.id = packet.Id;
  header.channel = packet.Channel;
  header.code = packet.Code;
  header.interpreterGroup = packet.InterpreterGroup;
  header.interpreterId = packet.InterpreterId;
  header.direction = packet.Direction;
  header.dataLength = packet.DataLength;
  LinkFailure failure;
  if (!link->Send(header, packet.Data, &failure)) {
    Trace(packet.Address, "request refused: " + failure.text);
    return Failed(failure.code, failure.text);
  }
  return 1;
}

int LinkRegistry::Disconnect(const char* address) {
  if (Empty(address)) return Failed(TERMLINK_NOT_CONNECTED, "not connected");
  std::shared_ptr<TerminalLink> link;
  {
    std::lock_guard lock(mutex_);
    auto it = connections_.find(address);
    if (it == connections_.end()) return Failed(TERMLINK_NOT_CONNECTED, "not connected");
    if (it->second.dialing) {
      // A Connect still dialling the address gives up.
      it->second.dialing->Cancel();
      it->second.dialing.reset();
    }
    if (!it->second.link) return Failed(TERMLINK_NOT_CONNECTED, "not connected");
    link = std::move(it->second.link);
  }
  return link->Close() ? 1 : Failed(TERMLINK_NOT_CONNECTED, "not connected");
}

}  // namespace termlink
