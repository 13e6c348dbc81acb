#include "cycle/download_job.h"

#include "session/terminal_session.h"

std::string ChangesLine(const std::string& address, const ChangePlan& plan) {
  const std::string of = std::to_string(plan.toSend.size()) + " of " + std::to_string(plan.Total());
  if (plan.nothingHeld) return "- Changes " + address + ": " + of + " (nothing held)";
  std::string line = "- Changes " + address + ": " + of + " (" + std::to_string(plan.fresh) +
                     " new, " + std::to_string(plan.changed) + " changed), " +
                     std::to_string(plan.unchanged) + " held already";
  if (!plan.toDelete.empty()) line += ", " + std::to_string(plan.toDelete.size()) + " to delete";
  return line;
}

std::string NoChangesLine(const std::string& address, const ChangePlan& plan) {
  return "- No changes for " + address + ": " + std::to_string(plan.unchanged) + " held already";
}

DownloadJob::Terminal& DownloadJob::TerminalFor(TerminalSession& session) {
  const auto [found, added] = terminals_.try_emplace(&session);
  if (added) Choose(session, found->second);
  return found->second;
}

void DownloadJob::Choose(TerminalSession& session, Terminal& terminal) {
  terminal.download = whole_;
  if (!choice_.changes || whole_.Empty()) return;
  // Unless what the terminal holds can be read, it gets the whole file.
  const std::optional<HeldRecords> held = keeper_.Records(session, whole_.Code());
  if (!held) return;
  terminal.plan = PlanChanges(*whole_.file, *held, choice_.deleteMissing,
                              [this](std::string_view text) { return codePage_.ToUtf8(text); });
  const ChangePlan& plan = *terminal.plan;
  terminal.download.records = std::make_shared<const std::vector<DownloadRecord>>(plan.toSend);
  terminal.download.deletes = std::make_shared<const std::vector<int64_t>>(plan.toDelete);
}

bool DownloadJob::PassOver(TerminalSession& session) {
  Terminal& terminal = TerminalFor(session);
  if (!terminal.plan || terminal.plan->nothingHeld || !terminal.plan->NeedsNothing()) {
    return false;
  }
  terminal.passedOver = true;
  session.Log("");
  session.Log(NoChangesLine(session.Address(), *terminal.plan));
  return true;
}

void DownloadJob::Start(TerminalSession& session) {
  // With nothing to send (the reports) the terminal is left at once.
  if (whole_.Empty()) return session.Disconnect();
  Terminal& terminal = TerminalFor(session);
  if (terminal.plan) session.Log(ChangesLine(session.Address(), *terminal.plan));
  terminal.batch = keeper_.Batch(session, whole_.Code(), path_, terminal.download.Records());
  session.Download(terminal.download);
}

void DownloadJob::RecordStored(const TerminalSession& session, uint8_t /*code*/,
                               const DownloadRecord& record) {
  const auto found = terminals_.find(&session);
  if (found == terminals_.end() || !found->second.batch) return;
  found->second.batch->Stored(record.number, record.bytes);
}

void DownloadJob::RecordDeleted(const TerminalSession& session, uint8_t /*code*/, int64_t number) {
  const auto found = terminals_.find(&session);
  if (found == terminals_.end() || !found->second.batch) return;
  found->second.batch->Deleted(number);
}

void DownloadJob::Finished(TerminalSession& session) {
  const auto found = terminals_.find(&session);
  if (found != terminals_.end()) keeper_.Commit(session, found->second.batch);
}

void DownloadJob::Amend(const TerminalSession& session, TerminalState& state) const {
  const auto found = terminals_.find(&session);
  if (found == terminals_.end()) return;
  const Terminal& terminal = found->second;
  state.total = terminal.download.Total();
  if (terminal.plan) state.unchanged = static_cast<uint32_t>(terminal.plan->unchanged);
  // Nothing to send is a send done: the terminal holds the file already.
  if (terminal.passedOver) state.phase = SessionPhase::Disconnected;
}
