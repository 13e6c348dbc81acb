// "Verify Terminals": a verification cycle that reads each terminal's records
// of the chosen kind back and compares them with the send file's.
#include <algorithm>

#include "model/program.h"

void Program::Verify(const VerifyOrder& order) {
  if (RefusedWhileRunning()) return;
  if (Refused(order.entries, order.options, "No Terminal To Verify !")) return;
  if (KindChoice{order.kind, std::nullopt}.DownloadCode() == 0) {
    View.ShowError("Nothing To Verify !");
    return;
  }
  // The file is checked and read once, as a send reads it.
  const CodePage& codePage = Resolved(order.options, codePageInForce_);
  const auto prepared = PrepareDownload(order.kind, order.file, codePage);
  if (!prepared) return;
  cycleRecords_ = prepared->total;
  // "Send to Failed" then sends the file to the terminals that differ.
  lastReceive_.reset();
  RunCycle(order.entries, order.options, std::make_unique<VerifyJob>(*prepared, codePage));
}

bool Program::Verifying() const {
  return CycleRunning() && dynamic_cast<const VerifyJob*>(&cycle_->Job()) != nullptr;
}

std::vector<TerminalVerification> Program::Verifications() const {
  const auto* job = cycle_ ? dynamic_cast<const VerifyJob*>(&cycle_->Job()) : nullptr;
  if (!job) return {};
  // The job keeps them as they finished; the entries of one address finish
  // in list order, since the second waits for the first.
  std::vector<TerminalVerification> finished = job->Verifications();
  std::vector<TerminalVerification> inListOrder;
  for (const TerminalState& state : CycleStates()) {
    const auto found = std::find_if(finished.begin(), finished.end(),
                                    [&](const auto& v) { return v.address == state.address; });
    if (found == finished.end()) continue;
    inListOrder.push_back(std::move(*found));
    finished.erase(found);
  }
  return inListOrder;
}
