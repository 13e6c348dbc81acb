/* termlink.h - the terminal link library: the eight operations through which
 * a program reaches weighing terminals on the network. A program registers a
 * transport and interpreters, sets up one connection per terminal address,
 * connects, hands over one request packet per record, and receives every
 * answer through its data callback. */
#ifndef TERMLINK_H
#define TERMLINK_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(TERMLINK_BUILDING)
#define TERMLINK_API __attribute__((visibility("default")))
#else
#define TERMLINK_API
#endif

typedef struct RequestPacket { /* natural alignment, no packing pragma */
  int16_t Id;
  uint8_t Reserved1[2];
  const char* Address;
  uint8_t Channel;
  uint8_t Reserved2;
  uint8_t Code;
  uint8_t Reserved3;
  uint16_t InterpreterGroup;
  uint16_t InterpreterId;
  uint16_t Direction;
  uint16_t DataLength;
  void* Data;
  uint8_t Reserved4[24];
} RequestPacket;

#if UINTPTR_MAX == 0xFFFFFFFFu && defined(__cplusplus)
static_assert(sizeof(RequestPacket) == 48, "RequestPacket is 48 bytes on a 32-bit target");
static_assert(__builtin_offsetof(RequestPacket, Address) == 4, "Address at 4");
static_assert(__builtin_offsetof(RequestPacket, Channel) == 8, "Channel at 8");
static_assert(__builtin_offsetof(RequestPacket, Code) == 10, "Code at 10");
static_assert(__builtin_offsetof(RequestPacket, InterpreterGroup) == 12, "InterpreterGroup at 12");
static_assert(__builtin_offsetof(RequestPacket, InterpreterId) == 14, "InterpreterId at 14");
static_assert(__builtin_offsetof(RequestPacket, Direction) == 16, "Direction at 16");
static_assert(__builtin_offsetof(RequestPacket, DataLength) == 18, "DataLength at 18");
static_assert(__builtin_offsetof(RequestPacket, Data) == 20, "Data at 20");
static_assert(__builtin_offsetof(RequestPacket, Reserved4) == 24, "Reserved4 at 24");
#endif

typedef int (*DataCallbackFn)(RequestPacket answer); /* by value */
typedef int (*SecondCallbackFn)(void);

TERMLINK_API int SetCommLibrary(int kind, const char* transport);
TERMLINK_API int AddInterpreter(int group, int id, const char* name);
TERMLINK_API int GetLibraryInfo(uint8_t* info /* 7 bytes, info[0] == 3 */, char* text);
TERMLINK_API int AddProcConnection(int mode, const char* address, int port, int group, int id,
                                   int interval, int retry, int code, DataCallbackFn data,
                                   SecondCallbackFn second);
TERMLINK_API int Connect(const char* address, int param);
TERMLINK_API int IsConnect(const char* address, int param);
TERMLINK_API int SendDataEx(RequestPacket packet);
TERMLINK_API int Disconnect(const char* address, int param);

#ifdef __cplusplus
}
#endif

#endif /* TERMLINK_H */
