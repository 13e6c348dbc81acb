// The eight exported operations of libtermlink.so.
#include "termlink/link_registry.h"
#include "termlink/termlink.h"

namespace {

// Byte 0 of the information record names its layout; only layout 3 is known.
constexpr uint8_t kInfoLayout = 3;
// Major and minor version, then the release date: two-digit year, month, day.
constexpr uint8_t kVersionInfo[5] = {1, 0, 26, 12, 8};

termlink::LinkRegistry& Registry() {
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
  if (!info || info[0] != kInfoLayout) return 0;
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

}  // extern "C"
