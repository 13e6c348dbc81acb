// "Verify" with repair: a verification, then each terminal that differs is
// sent exactly what differs or is missing (its held rows replaced by what was
// read, a changes send of the file gives just that) and read back again.
#include <algorithm>
#include <string>

#include "model/program.h"

std::vector<TerminalResult> FinalVerdicts(const RepairRun& run) {
  std::vector<TerminalResult> verdicts = run.verified;
  auto checked = run.checked.begin();
  for (TerminalResult& verdict : verdicts) {
    if (verdict.outcome != Outcome::Differs || checked == run.checked.end()) continue;
    if (checked->address == verdict.address) verdict = *checked++;
  }
  return verdicts;
}

void Program::StopCycle() {
  if (repair_) repair_->stage = RepairStage::Done;
  cycles_.Stop();
}

void Program::AbandonCycle() {
  if (repair_) repair_->stage = RepairStage::Done;
  cycles_.Abandon();
  // A cycle given up comes to no end of its own.
  EndRun();
}

void Program::CycleEnded() {
  if (!Repairing()) return EndRun();
  // The cycle that ended is still on the stack: the next one starts after it.
  loop_.Post([this, alive = std::weak_ptr<int>(alive_)] {
    if (alive.expired()) return;
    HandleEvent([this] {
      NextRepairStage();
      if (!Repairing() && !CycleRunning()) EndRun();
    });
  });
}

namespace {

// The order's entries with only those whose verification found them differing ticked.
std::vector<CycleEntry> Differing(std::vector<CycleEntry> entries,
                                  const std::vector<TerminalState>& states,
                                  const std::vector<TerminalResult>& results) {
  for (CycleEntry& entry : entries) entry.ticked = false;
  for (std::size_t i = 0; i < states.size() && i < results.size(); ++i) {
    const auto entry = static_cast<std::size_t>(states[i].entry);
    if (results[i].outcome == Outcome::Differs && entry < entries.size()) {
      entries[entry].ticked = true;
    }
  }
  return entries;
}

}  // namespace

void Program::NextRepairStage() {
  if (!Repairing()) return;
  RepairRun& run = *repair_;
  const VerifyOrder& order = run.order;
  switch (run.stage) {
    case RepairStage::Verifying: {
      run.verified = cycles_.Results();
      run.differing = Differing(order.entries, cycles_.States(), run.verified);
      run.stage = AnyTicked(run.differing) ? RepairStage::Sending : RepairStage::Done;
      if (run.stage == RepairStage::Done) return;
      SendOrder send{order.kind,    order.file, run.differing,
                     order.options, true,       order.deleteMissing};
      Send(send);
      break;
    }
    case RepairStage::Sending: {
      run.repaired = cycles_.Results();
      run.stage = RepairStage::Checking;
      VerifyOrder again = order;
      again.entries = run.differing;
      again.repair = false;
      StartVerify(again);
      break;
    }
    case RepairStage::Checking:
      run.checked = cycles_.Results();
      run.stage = RepairStage::Done;
      return;
    case RepairStage::Done:
      return;
  }
  // A stage refused (its error box shown) ends the repair.
  if (!CycleRunning()) run.stage = RepairStage::Done;
}
