#include "model/cycle_runner.h"

#include <algorithm>
#include <utility>

bool CycleRunner::Verifying() const {
  return Running() && Verification() != nullptr;
}

const VerifyJob* CycleRunner::Verification() const {
  return cycle_ ? dynamic_cast<const VerifyJob*>(&cycle_->Job()) : nullptr;
}

bool CycleRunner::RefusedWhileRunning() {
  // One cycle at a time: a second one would fight the running one over the
  // terminals and the log.
  if (!Running()) return false;
  view_.ShowError(Receiving()   ? "Receive Is Running !"
                  : Verifying() ? "Verify Is Running !"
                                : "Send Data Is Running !");
  return true;
}

void CycleRunner::Run(const SessionServices& services, CycleHost& host,
                      std::vector<CycleEntry> entries, std::unique_ptr<CycleJob> job,
                      uint32_t records, const CycleOptions& options, const CodePage& codePage,
                      std::optional<ReceiveOrder> receive) {
  records_ = records;
  options_ = options;
  codePage_ = codePage;
  lastReceive_ = std::move(receive);
  cycle_ = std::make_unique<TransferCycle>(services, host, std::move(entries), std::move(job),
                                           CycleSettings{options.pauseMs, options.parallel});
  cycle_->Start();
}

void CycleRunner::Stop() {
  if (cycle_) cycle_->Stop();
}

void CycleRunner::Abandon() {
  if (cycle_) cycle_->Abandon();
}

TerminalSession* CycleRunner::Current() {
  return cycle_ ? cycle_->Current() : nullptr;
}

const TerminalSession* CycleRunner::Current() const {
  return cycle_ ? cycle_->Current() : nullptr;
}

std::vector<TerminalState> CycleRunner::States() const {
  return cycle_ ? cycle_->States() : std::vector<TerminalState>{};
}

CycleKind CycleRunner::LastKind() const {
  if (lastReceive_) return CycleKind::Receive;
  return Verification() ? CycleKind::Verify : CycleKind::Send;
}

std::vector<TerminalResult> CycleRunner::Results() const {
  const CycleKind kind = LastKind();
  std::vector<TerminalResult> results;
  if (kind != CycleKind::Verify) {
    for (const TerminalState& state : States()) results.push_back(ResultOf(state, kind));
    return results;
  }
  // Verifications() holds the finished ones in list order: the rest have no verdict.
  const std::vector<TerminalVerification> verdicts = Verifications();
  std::size_t next = 0;
  for (const TerminalState& state : States()) {
    std::optional<TerminalVerification> verdict;
    if (next < verdicts.size() && verdicts[next].address == state.address) {
      verdict = verdicts[next++];
    }
    results.push_back(VerifiedResult(state, verdict));
  }
  return results;
}

std::vector<TerminalVerification> CycleRunner::Verifications() const {
  const VerifyJob* job = Verification();
  if (!job) return {};
  // The job keeps them as they finished; the entries of one address finish
  // in list order, since the second waits for the first.
  std::vector<TerminalVerification> finished = job->Verifications();
  std::vector<TerminalVerification> inListOrder;
  for (const TerminalState& state : States()) {
    const auto found = std::find_if(finished.begin(), finished.end(),
                                    [&](const auto& v) { return v.address == state.address; });
    if (found == finished.end()) continue;
    inListOrder.push_back(std::move(*found));
    finished.erase(found);
  }
  return inListOrder;
}

std::vector<CycleEntry> CycleRunner::Failed(const TerminalList& list) const {
  std::vector<CycleEntry> entries = list.Only(-1);
  for (const TerminalState& state : States()) {
    const auto entry = static_cast<std::size_t>(state.entry);
    if (state.Failed() && entry < entries.size() && entries[entry].address == state.address) {
      entries[entry].ticked = true;
    }
  }
  return entries;
}
