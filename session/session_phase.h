// The phases of a terminal session, from its pause to its disconnect: what a
// glance at a terminal shows of it.
#pragma once

enum class SessionPhase {
  Idle,          // made, nothing asked yet
  Pausing,       // waiting before its connect
  Connecting,    // the library's Connect is running
  NotConnected,  // the connect failed, or another process serves the terminal
  Connected,
  Transferring,  // a download or an upload runs
  Disconnected,
};

