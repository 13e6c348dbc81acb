// An in-process stand-in for the link library: records every call and every
// packet handed over, answers with results the test sets, and lets the test
// deliver answers through the callbacks the program registered. It keeps
// each address's connection as the library does: set up only by an
// AddProcConnection the library would take, connected from a Connect that
// succeeds until its Disconnect or its loss.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "link/link_library.h"

struct FakeCall {
  std::string name;                // operation name, e.g. "Connect"
  std::vector<int> numbers;        // integer arguments, in order
  std::vector<std::string> texts;  // text arguments, in order
};

// A packet as it was handed to SendDataEx, with copies of what its pointers held.
struct SentPacket {
  RequestPacket packet;  // pointers are stale after the call; use the copies below
  std::string address;
  std::vector<uint8_t> data;
};

class FakeLink {
 public:
  // Makes this the fake that the table's functions reach, with everything reset.
  FakeLink();
  ~FakeLink();
  LinkLibrary Table() const;

  // Results the operations return while the library would succeed.
  int connectResult = 1;
  std::set<std::string> unreachable;           // addresses whose Connect answers 0
  std::string connectFailure;                  // the reason a failed Connect gives; none by default
  int isConnectResult = 1;                     // while connected; 0 otherwise
  int sendResult = 1;                          // while connected; 0 otherwise
  int disconnectResult = 1;                    // while connected; 0 otherwise
  uint8_t versionInfo[5] = {1, 4, 26, 12, 8};  // bytes 2..6 of GetLibraryInfo

  std::vector<FakeCall> calls;
  std::vector<SentPacket> sent;
  // The callbacks of the latest connection set up, of either kind.
  DataCallbackFn dataCallback = nullptr;
  SecondCallbackFn secondCallback = nullptr;
  TermLinkAnswerFn answerCallback = nullptr;
  TermLinkLostFn lostCallback = nullptr;
  void* user = nullptr;
  // Address of the latest connection added; its answers carry it.
  std::string connectionAddress = "127.0.0.2";

  // Names of the calls made, in order.
  std::vector<std::string> CallNames() const;
  bool Connected(const std::string& address) const;
  // Delivers one answer of `address` (empty: of the latest connection added)
  // through the registered callback, as the library does only while the
  // address is connected; false when nothing was delivered. The data buffer
  // is released right after the call, as the real library does.
  bool Deliver(uint8_t code, uint16_t direction, const void* data, uint16_t length,
               const std::string& address = "");
  template <class Record>
  bool Deliver(uint8_t code, uint16_t direction, const Record& record) {
    return Deliver(code, direction, &record, static_cast<uint16_t>(sizeof record));
  }
  // The library holds an open connection to `address` again, as after its
  // set-up and a Connect: for tests that run one transfer after another
  // without the connect lines between them.
  void Open(const std::string& address) { connections[address] = true; }
  // The terminal at `address` (empty: the latest added) closes its
  // connection: it is no longer connected and the loss is reported.
  void Lose(const std::string& address = "");

  // Behind the table's functions.
  int SetUp(int mode, const std::string& address, int port, int group, int id, int interval,
            int retry);
  int Fail(int code, std::string text);
  std::set<std::pair<int, int>> interpreters;
  std::map<std::string, bool> connections;  // set-up addresses: connected or not
  int lastError = TERMLINK_OK;
  std::string lastErrorText;

  static FakeLink* current;
};
