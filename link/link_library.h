// The table of the link library's operations: the eight, and the two beside
// them that carry the program's pointer and tell why a call failed. The
// program fills it at start-up from libtermlink.so in the program folder;
// tests fill it with a fake.
#pragma once

#include <optional>
#include <string>

#include "termlink/termlink.h"

// The link library's file, in the program folder.
inline constexpr const char* kLinkLibraryFile = "libtermlink.so";

struct LinkLibrary {
  int (*SetCommLibrary)(int kind, const char* transport) = nullptr;
  int (*AddInterpreter)(int group, int id, const char* name) = nullptr;
  int (*GetLibraryInfo)(uint8_t* info, char* text) = nullptr;
  int (*AddProcConnection)(int mode, const char* address, int port, int group, int id, int interval,
                           int retry, int code, DataCallbackFn data,
                           SecondCallbackFn second) = nullptr;
  int (*Connect)(const char* address, int param) = nullptr;
  int (*IsConnect)(const char* address, int param) = nullptr;
  int (*SendDataEx)(RequestPacket packet) = nullptr;
  int (*Disconnect)(const char* address, int param) = nullptr;
  int (*AddProcConnectionEx)(int mode, const char* address, int port, int group, int id,
                             int interval, int retry, int code, TermLinkAnswerFn answer,
                             TermLinkLostFn lost, void* user) = nullptr;
  int (*TermLinkLastError)(char* text, int size) = nullptr;
};

// Why the calling thread's latest call of `link` failed, as its text; "" when
// the library gives no text.
std::string LastLinkFailure(const LinkLibrary& link);

// Loads the shared library at `path` and resolves its operations by name.
// On failure returns nothing and sets `error` to a message that names the
// missing library or operation. The library stays loaded for the process.
std::optional<LinkLibrary> BindLinkLibrary(const std::string& path, std::string& error);

// Binds the running program's link library, as both front ends start: the
// library at `chosenPath` when that is not empty (picked on the command line),
// else kLinkLibraryFile in the program folder, beside the running executable.
// Fails as BindLinkLibrary does.
std::optional<LinkLibrary> BindProgramLinkLibrary(const std::string& chosenPath,
                                                  std::string& error);
