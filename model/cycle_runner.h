// The cycle runner: one send, receive or verification cycle at a time, its
// stop, the entries that failed in it for a cycle again over them, and how
// each entry ended. It holds the running or last cycle with the options its
// order resolved to; the orders themselves are checked by the program.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "cycle/transfer_cycle.h"
#include "cycle/verify_job.h"
#include "model/program_view.h"
#include "model/receive_order.h"
#include "model/terminal_list.h"
#include "model/terminal_result.h"
#include "session/terminal_session.h"

class CycleRunner {
 public:
  explicit CycleRunner(ProgramView& view) : view_(view) {}

  bool Running() const { return cycle_ && cycle_->Running(); }
  // The running cycle is a receive, a verification.
  bool Receiving() const { return Running() && lastReceive_.has_value(); }
  bool Verifying() const;
  // Refuses, with its error box, to start a cycle while one runs.
  bool RefusedWhileRunning();

  // Starts a cycle over `entries` that sends or reads `records` to or from
  // each, with `options` and `codePage` resolved from its order; `receive`
  // is its order when it is a receive.
  void Run(const SessionServices& services, CycleHost& host, std::vector<CycleEntry> entries,
           std::unique_ptr<CycleJob> job, uint32_t records, const CycleOptions& options,
           const CodePage& codePage, std::optional<ReceiveOrder> receive);
  // See TransferCycle::Stop and Abandon.
  void Stop();
  void Abandon();
  // Lets go of the last cycle and its sessions (their terminal locks too).
  void Release() { cycle_.reset(); }

  // The session the cycle serves now, or none.
  TerminalSession* Current();
  const TerminalSession* Current() const;
  // What the running or last cycle runs with.
  const CycleOptions& Options() const { return options_; }
  const CodePage& Characters() const { return codePage_; }
  // The order of the last cycle when it was a receive.
  const std::optional<ReceiveOrder>& LastReceive() const { return lastReceive_; }
  // The records the last cycle sends to each terminal; 0 before any and for a receive.
  uint32_t Records() const { return records_; }

  // Each ticked entry's state in the last cycle, in list order; empty before any.
  std::vector<TerminalState> States() const;
  // What the last cycle was: a send, a receive or a verification.
  CycleKind LastKind() const;
  // How each ticked entry of the last cycle ended, in list order.
  std::vector<TerminalResult> Results() const;
  // Each finished entry's verification in the last cycle, in list order;
  // empty when that cycle was no verification.
  std::vector<TerminalVerification> Verifications() const;
  // The list as it stands with only the entries that failed in the last
  // cycle ticked; an entry edited since then is not the terminal that failed.
  std::vector<CycleEntry> Failed(const TerminalList& list) const;

 private:
  const VerifyJob* Verification() const;

  ProgramView& view_;
  std::unique_ptr<TransferCycle> cycle_;
  std::optional<ReceiveOrder> lastReceive_;
  uint32_t records_ = 0;
  CycleOptions options_;
  CodePage codePage_;
};
