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

/* Beside the eight: callbacks that carry the caller's pointer, and why the
 * latest call failed. */

/* An answer of a connection set up with AddProcConnectionEx; `answer` and what
 * it points to are valid only during the call. */
typedef void (*TermLinkAnswerFn)(void* user, const RequestPacket* answer);
/* An open connection ended without Disconnect; `address` and `reason` are
 * valid only during the call. */
typedef void (*TermLinkLostFn)(void* user, const char* address, const char* reason);

/* As AddProcConnection, with callbacks that get `user` back on every call.
 * The latest set-up of an address, of either kind, holds. */
TERMLINK_API int AddProcConnectionEx(int mode, const char* address, int port, int group, int id,
                                     int interval, int retry, int code, TermLinkAnswerFn answer,
                                     TermLinkLostFn lost, void* user);

/* What made the calling thread's latest call of the library fail. */
enum TermLinkError {
  TERMLINK_OK = 0,            /* the latest call did not fail */
  TERMLINK_SETUP = 1,         /* refused set-up, address not set up, or no TCP transport */
  TERMLINK_REFUSED = 2,       /* the terminal refused the connection */
  TERMLINK_NO_GREETING = 3,   /* no connection or no greeting within the interval */
  TERMLINK_CLOSED = 4,        /* the terminal closed or reset the connection */
  TERMLINK_PROTOCOL = 5,      /* the terminal broke the protocol */
  TERMLINK_QUEUE_FULL = 6,    /* 4096 requests of the connection await their answers */
  TERMLINK_NOT_CONNECTED = 7, /* the address has no open connection */
  TERMLINK_BAD_REQUEST = 8,   /* the request is not one of the record set */
  TERMLINK_CANCELLED = 9,     /* Disconnect ended the connect */
  TERMLINK_SYSTEM = 10        /* the system refused a resource or an operation */
};

/* The code of the calling thread's latest failure (TERMLINK_OK when its latest
 * call succeeded); copies its text, cut to `size` - 1 bytes and always
 * zero-terminated, into `text` when that is not null and `size` > 0. */
TERMLINK_API int TermLinkLastError(char* text, int size);

#ifdef __cplusplus
}
#endif

#endif /* TERMLINK_H */
