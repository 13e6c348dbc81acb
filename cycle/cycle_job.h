// CycleJob: what a transfer cycle does with each terminal it has connected —
// send it the prepared records, or receive one kind of records from it — and
// what it hears of that terminal's transfer until its session is over.
#pragma once

#include <cstdint>
#include <span>

#include "records/checked_download.h"
#include "session/terminal_state.h"

class TerminalSession;

class CycleJob {
 public:
  virtual ~CycleJob() = default;
  // Before its pause and connect: true when `session`'s terminal needs
  // nothing, so it is never connected; the job has logged why, and its state
  // is as Amend makes it.
  virtual bool PassOver(TerminalSession& /*session*/) { return false; }
  // Starts the transfer on the connected `session`; the transfer ends with
  // the session's disconnect, also when nothing is to be moved.
  virtual void Start(TerminalSession& session) = 0;
  // The session received `record`, of data type `code`, as the terminal sent it.
  virtual void RecordReceived(const TerminalSession& /*session*/, uint8_t /*code*/,
                              std::span<const uint8_t> /*record*/) {}
  // The session's terminal acknowledged `record`, of data type `code`, as stored.
  virtual void RecordStored(const TerminalSession& /*session*/, uint8_t /*code*/,
                            const DownloadRecord& /*record*/) {}
  // The session's terminal acknowledged the deletion of record `number`.
  virtual void RecordDeleted(const TerminalSession& /*session*/, uint8_t /*code*/,
                             int64_t /*number*/) {}
  // The session is over: disconnected, not connected, or stopped in its pause.
  // Lines it logs still belong to the terminal's block.
  virtual void Finished(TerminalSession& /*session*/) {}
  // What a glance at the terminal shows, as the job sees it.
  virtual void Amend(const TerminalSession& /*session*/, TerminalState& /*state*/) const {}
  // The records each terminal is sent; 0 when the job sends nothing.
  virtual uint32_t RecordsToSend() const { return 0; }
};
