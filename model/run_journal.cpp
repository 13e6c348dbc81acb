// Each run's first and last line in the day's journal: a send, a changes
// send, a verification, a repair (its three cycles one run) or a receive.
#include <algorithm>
#include <utility>

#include "model/program.h"

void Program::BeginRun(RunKind ran, uint8_t code, const std::string& file,
                       const std::vector<CycleEntry>& entries, const OrderOptions& options) {
  if (Repairing() && repair_->stage != RepairStage::Verifying) return;
  EndRun();
  const auto ticked = std::count_if(entries.begin(), entries.end(),
                                    [](const CycleEntry& entry) { return entry.ticked; });
  const RunStart start{ran,
                       code,
                       file,
                       static_cast<int>(ticked),
                       Resolved(options, inForce_).parallel,
                       startUp_.startedBy};
  run_ = ran;
  runLine_ = RunBeginLine(start);
  Journal("", runLine_, false);
}

void Program::EndRun() {
  if (!run_) return;
  const RunKind ran = *std::exchange(run_, std::nullopt);
  // A repair ends with each terminal's final verdict, once its first
  // verification came to its end.
  const bool verdicts = ran == RunKind::Repair && repair_ && !repair_->verified.empty();
  Journal("", RunEndLine(ran, verdicts ? FinalVerdicts(*repair_) : cycles_.Results()), false);
}
