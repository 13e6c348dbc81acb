// The state behind the eight operations: the chosen transport, the
// registered interpreters, and one connection per terminal address with its
// settings and, while connected, its open link.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <utility>

#include "termlink/dialer.h"
#include "termlink/terminal_link.h"
#include "termlink/termlink.h"

namespace termlink {

class LinkRegistry {
 public:
  // The one registry of the process.
  static LinkRegistry& Instance();

  int SetCommLibrary(int kind, const char* transport);
  int AddInterpreter(int group, int id, const char* name);
  int AddProcConnection(int mode, const char* address, int port, int group, int id, int interval,
                        int retry, Callbacks callbacks);
  int Connect(const char* address);
  int IsConnect(const char* address);
  int SendDataEx(const RequestPacket& packet);
  int Disconnect(const char* address);

 private:
  struct Connection {
    int port = 0;
    int interval = 0;  // ms, time-out of one connect attempt
    int retry = 0;     // connect attempts
    Callbacks callbacks;
    std::shared_ptr<TerminalLink> link;   // while connected
    std::shared_ptr<DialCancel> dialing;  // while a Connect dials
  };

  std::shared_ptr<TerminalLink> OpenLink(const char* address);
  std::string CheckRequest(const RequestPacket& packet);

  std::mutex mutex_;
  bool tcpTransport_ = false;
  std::set<std::pair<int, int>> interpreters_;  // (group, id)
  std::map<std::string, Connection, std::less<>> connections_;
};

}  // namespace termlink
