/* A stand-in for the link library, loaded by the binding tests: it exports the
 * eight operations and the two beside them (all but Disconnect when built with
 * FAKE_WITHOUT_DISCONNECT) and keeps a journal of the calls that the tests read back. */
#define TERMLINK_BUILDING
#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include "termlink/termlink.h"

static char journal[4096];

__attribute__((format(printf, 1, 2))) static void Note(const char* format, ...) {
  size_t used = strlen(journal);
  va_list args;
  va_start(args, format);
  vsnprintf(journal + used, sizeof journal - used, format, args);
  va_end(args);
}

TERMLINK_API const char* FakeTermlinkJournal(void) {
  return journal;
}

TERMLINK_API int SetCommLibrary(int kind, const char* transport) {
  Note("SetCommLibrary %d %s\n", kind, transport);
  return 1;
}

TERMLINK_API int AddInterpreter(int group, int id, const char* name) {
  Note("AddInterpreter %d %d %s\n", group, id, name);
  return 0; /* a failed registration must not stop the start */
}

TERMLINK_API int GetLibraryInfo(uint8_t* info, char* text) {
  Note("GetLibraryInfo %d '%s'\n", info[0], text);
  const uint8_t version[5] = {2, 7, 24, 3, 9};
  memcpy(info + 2, version, sizeof version);
  return 1;
}

TERMLINK_API int AddProcConnection(int mode, const char* address, int port, int group, int id,
                                   int interval, int retry, int code, DataCallbackFn data,
                                   SecondCallbackFn second) {
  (void)data, (void)second;
  Note("AddProcConnection %d %s %d %d %d %d %d %d\n", mode, address, port, group, id, interval,
       retry, code);
  return 1;
}

TERMLINK_API int Connect(const char* address, int param) {
  Note("Connect %s %d\n", address, param);
  return 0;
}

TERMLINK_API int IsConnect(const char* address, int param) {
  Note("IsConnect %s %d\n", address, param);
  return 0;
}

TERMLINK_API int SendDataEx(RequestPacket packet) {
  Note("SendDataEx %d %d\n", packet.Code, packet.DataLength);
  return 0;
}

#ifndef FAKE_WITHOUT_DISCONNECT
TERMLINK_API int Disconnect(const char* address, int param) {
  Note("Disconnect %s %d\n", address, param);
  return 1;
}
#endif

TERMLINK_API int AddProcConnectionEx(int mode, const char* address, int port, int group, int id,
                                     int interval, int retry, int code, TermLinkAnswerFn answer,
                                     TermLinkLostFn lost, void* user) {
  (void)answer, (void)lost, (void)user;
  Note("AddProcConnectionEx %d %s %d %d %d %d %d %d\n", mode, address, port, group, id, interval,
       retry, code);
  return 1;
}

TERMLINK_API int TermLinkLastError(char* text, int size) {
  if (text && size > 0) text[0] = '\0';
  return TERMLINK_OK;
}
