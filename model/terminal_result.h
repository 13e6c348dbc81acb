// How one terminal's part of a cycle, or a single-terminal operation, ended:
// typed, so that the front ends' summaries, states and status bar are made
// from it and never from the log's texts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cycle/verify_job.h"
#include "records/record_compare.h"
#include "session/terminal_state.h"

enum class Outcome {
  Sent,        // a send: every record acknowledged as stored
  Received,    // a receive: the file holds all the terminal had
  Same,        // a verification: the terminal holds exactly the file
  Differs,     // a verification: a record differs, is missing or extra
  NotProven,   // a verification: nothing read differs, but not everything could be read
  Failed,      // a fault of the terminal or its link; `reason` says which
  Stopped,     // the operator's stop came while it was served
  NotServed,   // the cycle never turned to it
  Unfinished,  // the cycle was given up while it was served; `phase` says where it stood
};

enum class CycleKind { Send, Receive, Verify };

struct TerminalResult {
  std::string address;
  Outcome outcome = Outcome::Unfinished;
  // Why it did not end well ("connect failed", "refused: ERR: 90 Memory
  // full", "stopped", ...); empty for the good outcomes and Unfinished.
  std::string reason;
  SessionPhase phase = SessionPhase::Idle;  // where its session stood
  uint32_t acknowledged = 0;  // records the terminal acknowledged as stored, or records received
  uint32_t sent = 0;          // records a send handed to the library
  uint32_t total = 0;         // records a send was to hand over; 0 for a receive
  uint32_t unchanged = 0;     // a changes send: records of the file the terminal held already
  uint32_t deleted = 0;       // a changes send: deletions the terminal acknowledged
  double seconds = 0;         // from the connect to the disconnect or the failed connect
  std::string file;           // a receive's file; empty for a send
  bool complete = false;      // a receive's file holds all the terminal had
  std::optional<RecordComparison> comparison;  // a verification's, once its records were read
  // A verification came to a verdict: its records were compared, or why
  // they could not be read is known.
  bool judged = false;

  bool Good() const {
    return outcome == Outcome::Sent || outcome == Outcome::Received || outcome == Outcome::Same;
  }
};

// A terminal's result from its state at the end of a send or a receive, or
// of a single-terminal operation (kind Send or Receive).
TerminalResult ResultOf(const TerminalState& state, CycleKind kind);
// A verification's result: the state's, with the terminal's verdict when it has one.
TerminalResult VerifiedResult(const TerminalState& state,
                              const std::optional<TerminalVerification>& verdict);
