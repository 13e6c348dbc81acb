// The exported operations of libtermlink.so: the eight, and the two beside
// them. Each one first clears the calling thread's latest failure.
#include <algorithm>
#include <cstring>

#include "termlink/link_failure.h"
#include "termlink/link_registry.h"
#include "termlink/termlink.h"

namespace {

// Byte 0 of the information record names its layout; only layout 3 is known.
constexpr uint8_t kInfoLayout = 3;
// Major and minor version, then the release date: two-digit year, month, day.
constexpr uint8_t kVersionInfo[5] = {1, 0, 26, 12, 8};

termlink::LinkRegistry& Registry() {
  termlink::ClearLastFailure();
  return termlink::LinkRegistry::Instance();
}

}  // namespace

extern "C" {

int SetCommLibrary(int kind, const char* transport) {
  return Registry().SetCommLibrary(kind, transport);
}

int AddInterpreter(int group, int id, const char* name) {
  return Registry().AddInterpreter(group, id, name);
}

// The text argument is left as it is: its size is not known here.
int GetLibraryInfo(uint8_t* info, char* /*text*/) {
  termlink::ClearLastFailure();
  if (!info || info[0] != kInfoLayout) {
    termlink::SetLastFailure({TERMLINK_SETUP, "no information record of layout 3"});
    return 0;
  }
  for (int i = 0; i < 5; ++i) info[2 + i] = kVersionInfo[i];
  return 1;
}

int AddProcConnection(int mode, const char* address, int port, int group, int id, int interval,
                      int retry, int /*code*/, DataCallbackFn data, SecondCallbackFn second) {
  return Registry().AddProcConnection(mode, address, port, group, id, interval, retry,
                                      {data, second});
}

int Connect(const char* address, int /*param*/) {
  return Registry().Connect(address);
}

int IsConnect(const char* address, int /*param*/) {
  return Registry().IsConnect(address);
}

int SendDataEx(RequestPacket packet) {
  return Registry().SendDataEx(packet);
}

int Disconnect(const char* address, int /*param*/) {
  return Registry().Disconnect(address);
}

int AddProcConnectionEx(int mode, const char* address, int port, int group, int id, int interval,
                        int retry, int /*code*/, TermLinkAnswerFn answer, TermLinkLostFn lost,
                        void* user) {
  return Registry().AddProcConnection(mode, address, port, group, id, interval, retry,
                                      {nullptr, nullptr, answer, lost, user});
}

// Reads the failure without clearing it: asking twice gives the same answer.
int TermLinkLastError(char* text, int size) {
  const termlink::LinkFailure& failure = termlink::LastFailure();
  if (text && size > 0) {
    const std::size_t length = std::min(failure.text.size(), static_cast<std::size_t>(size - 1));
    std::memcpy(text, failure.text.data(), length);
    text[length] = '\0';
  }
  return failure.code;
}

}  // extern "C"
