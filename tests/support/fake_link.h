// An in-process stand-in for the link library: records every call and every
// packet handed over, answers with results the test sets, and lets the test
// deliver answers through the data callback the program registered.
#pragma once

#include <cstdint>
#include <set>
#include <string>
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

  // Results the operations return.
  int connectResult = 1;
  std::set<std::string> unreachable;  // addresses whose Connect answers 0
  int isConnectResult = 1;
  int sendResult = 1;
  int disconnectResult = 1;
  uint8_t versionInfo[5] = {1, 4, 26, 12, 8};  // bytes 2..6 of GetLibraryInfo

  std::vector<FakeCall> calls;
  std::vector<SentPacket> sent;
  DataCallbackFn dataCallback = nullptr;
  SecondCallbackFn secondCallback = nullptr;
  // Address of the latest connection added; its answers carry it.
  std::string connectionAddress = "127.0.0.2";

  // Names of the calls made, in order.
  std::vector<std::string> CallNames() const;
  // Delivers one answer of `address` (empty: of the latest connection added)
  // through the registered data callback; the data buffer is released right
  // after the call, as the real library does.
  int Deliver(uint8_t code, uint16_t direction, const void* data, uint16_t length,
              const std::string& address = "");
  template <class Record>
  int Deliver(uint8_t code, uint16_t direction, const Record& record) {
    return Deliver(code, direction, &record, static_cast<uint16_t>(sizeof record));
  }

  static FakeLink* current;
};
