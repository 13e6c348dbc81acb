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

struct TerminalState {
  std::string address;
  int entry = -1;  // its place in the terminal list in a send cycle; -1 outside one
  SessionPhase phase = SessionPhase::Idle;
  uint32_t stored = 0;  // records the terminal acknowledged as stored
  uint32_t total = 0;   // records a download sends; 0 for an upload
  // Why the terminal did not get every record, once that is known: "connect
  // failed", "refused: ERR: 90 Memory full", "timed out", ...; empty while
  // all goes well, and for a download that stored every record.
  std::string failure;
  double seconds = 0;  // from the connect to the disconnect or the failed connect
  std::string file;    // the file a receive writes into or wrote; empty for a send

  bool Done() const { return phase == SessionPhase::Disconnected && failure.empty(); }
  bool Failed() const { return !failure.empty(); }
};
