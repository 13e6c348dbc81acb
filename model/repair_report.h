// What a verification with repair did: the verification, the send of exactly
// what differs to each terminal that differs, and the verification of those
// terminals again, each in list order.
#pragma once

#include <vector>

#include "model/orders.h"
#include "model/terminal_result.h"

enum class RepairStage { Verifying, Sending, Checking, Done };

struct RepairRun {
  VerifyOrder order;
  RepairStage stage = RepairStage::Verifying;
  std::vector<CycleEntry> differing;     // the order's entries, only those that differ ticked
  std::vector<TerminalResult> verified;  // the first verification's results
  std::vector<TerminalResult> repaired;  // the changes send's, of those that differed
  std::vector<TerminalResult> checked;   // the second verification's, of those
};

// Each terminal of the first verification with its final verdict: the
// second verification's for one that was repaired, else the first's.
std::vector<TerminalResult> FinalVerdicts(const RepairRun& run);
