// What a glance at one terminal shows: where its session stands, how far its
// transfer has come, and why it failed.
#pragma once

#include <cstdint>
#include <string>

enum class SessionPhase {
  Idle,          // made, nothing asked yet
  Pausing,       // waiting before its connect
  Connecting,    // the library's Connect is running
  NotConnected,  // the connect failed, or another process serves the terminal
  Connected,
  Transferring,  // a download or an upload runs
  Disconnected,
};

// The reasons of a cycle's entry that the operator's stop kept from getting
// every record: stopped while it was served (in its pause, its connect or its
// transfer), or never turned to.
inline constexpr const char* kStoppedReason = "stopped";
inline constexpr const char* kNotServedReason = "not served";

struct TerminalState {
  std::string address;
  int entry = -1;  // its place in the terminal list in a send cycle; -1 outside one
  SessionPhase phase = SessionPhase::Idle;
  uint32_t stored = 0;  // records the terminal acknowledged as stored
  uint32_t total = 0;   // records a download sends; 0 for an upload
  // Records a download handed to the library so far, the count its progress
  // line shows: one ahead of `stored` while a record awaits its acknowledgment.
  uint32_t sent = 0;
  uint32_t deleted = 0;    // deletions of a download the terminal acknowledged
  uint32_t unchanged = 0;  // a changes send: records of the file the terminal held already
  // Why the terminal did not get every record, once that is known: "connect
  // failed", "refused: ERR: 90 Memory full", "timed out", ...; empty while
  // all goes well, and for a download that stored every record.
  std::string failure;
  double seconds = 0;  // from the connect to the disconnect or the failed connect
  std::string file;    // the file a receive writes into or wrote; empty for a send

  bool Done() const { return phase == SessionPhase::Disconnected && failure.empty(); }
  // The terminal did not get every record, for whatever reason.
  bool Failed() const { return !failure.empty(); }
  bool Stopped() const { return failure == kStoppedReason; }
  bool NotServed() const { return failure == kNotServedReason; }
  // Failed through a fault of the terminal or its link, not the operator's stop.
  bool Faulted() const { return Failed() && !Stopped() && !NotServed(); }
};
