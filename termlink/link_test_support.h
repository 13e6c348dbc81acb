// Test helpers for the link library: a recorder behind the C callbacks that
// keeps a copy of every answer, records to send, and the usual set-up calls.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "termlink/termlink.h"

struct RecordedAnswer {
  std::string address;
  int16_t id;
  uint8_t channel;
  uint8_t code;
  uint16_t interpreterGroup;
  uint16_t interpreterId;
  uint16_t direction;
  std::vector<uint8_t> data;
  std::thread::id thread;
};

// Collects what the library hands to the callbacks. The callbacks are plain
// C functions, so there is one recorder for the process.
class AnswerRecorder {
 public:
  static AnswerRecorder& Get();
  void Reset();

  // Waits until `count` answers arrived in all; false on time-out.
  bool WaitForAnswers(size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(10));
  bool WaitForLosses(int count, std::chrono::milliseconds timeout = std::chrono::seconds(10));
  std::vector<RecordedAnswer> Answers();
  int Losses();

  // Called from inside the data callback, after the answer is recorded.
  void SetHook(void (*hook)(const RequestPacket&));

  static int DataCallback(RequestPacket answer);
  static int SecondCallback();

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<RecordedAnswer> answers_;
  int losses_ = 0;
  void (*hook_)(const RequestPacket&) = nullptr;
};

// The start-up calls of the program: TCP transport, interpreters 5000, 5010, 16.
void RegisterLibrary();
// AddProcConnection for `address` with the recorder's callbacks.
int AddConnection(const std::string& address, int port, int interval = 2000, int retry = 2);

// A request packet for `address`, as the program builds one.
RequestPacket Request(const std::string& address, uint8_t code, uint16_t direction,
                      std::vector<uint8_t>& record);

// A record of `code` whose every byte is filled from `seed`, with its
// number set to `number`.
std::vector<uint8_t> FilledRecord(uint8_t code, int64_t number, unsigned seed);
// An all-zero record of `code` that asks for record `number`.
std::vector<uint8_t> AskFor(uint8_t code, int64_t number);

// The status code of a status text: the two characters two and three places
// after its first colon, or "" without a colon.
std::string StatusCode(const RecordedAnswer& answer);
int64_t NumberOf(const RecordedAnswer& answer);

// A listening socket on a fresh port of `address` (its port in `port`), with
// a receive buffer of `receiveBuffer` bytes for the connections it accepts
// when not 0.
int Listen(const std::string& address, int& port, int receiveBuffer = 0);
// The bytes a terminal greets with.
std::vector<uint8_t> Greeting();

// Polls IsConnect until it answers `wanted`; false on time-out.
bool WaitForIsConnect(const std::string& address, int wanted,
                      std::chrono::milliseconds timeout = std::chrono::seconds(10));
