// What each terminal holds, as the program uses it: the held state of an
// order, the plan of a changes send, the listing and forgetting of a
// terminal's rows, and the rows the served terminal's download keeps.
#include <algorithm>
#include <string>

#include "cycle/read_proof.h"
#include "model/program.h"
#include "records/download_files.h"
#include "settings/terminal_address.h"
#include "text/terminal_port.h"

HeldKeeper Program::Keeper() {
  std::string problem;
  HeldStore* store = held_.Store(problem);
  // Never a reason to send less, or not at all: the send goes on without it.
  if (!problem.empty()) AddLog(HeldProblemLine(problem));
  const auto port = ParsePort(kept_.List().Port());
  return HeldKeeper(store, port ? *port : 0);
}

SendPlan Program::Plan(const PlanOrder& order) {
  SendPlan plan;
  const auto port = ParsePort(kept_.List().Port());
  const uint8_t code = KindChoice{order.kind, std::nullopt}.DownloadCode();
  if (!AnyTicked(order.entries)) {
    plan.error = "No Terminal To Send !";
  } else if (!port) {
    plan.error = BadPortMessage(kept_.List().Port());
  } else if (code == 0) {
    plan.error = "Nothing To Send !";
  }
  if (!plan.error.empty()) return plan;
  const CodePage& codePage = Resolved(order.options, codePageInForce_);
  const DownloadFileRead read = ReadDownloadFile(*KindOfCode(code), order.file, codePage);
  if (read.error) {
    plan.error = read.error->Describe(order.file);
    return plan;
  }
  HeldStore* store = held_.Store(plan.heldProblem);
  const HeldKeeper keeper(store, *port);
  const HeldText text = [&codePage](std::string_view bytes) { return codePage.ToUtf8(bytes); };
  for (const CycleEntry& entry : order.entries) {
    if (!entry.ticked) continue;
    std::string error;
    std::optional<HeldRecords> held;
    if (store) held = store->Records(keeper.TerminalOf(entry.address), code, error);
    if (!error.empty() && plan.heldProblem.empty()) plan.heldProblem = error;
    plan.terminals.push_back(TerminalPlan{
        entry.address, *port,
        PlanChanges(*read.download, held ? *held : HeldRecords{}, order.deleteMissing, text)});
  }
  return plan;
}

bool Program::AnythingHeld() {
  std::string problem;
  HeldStore* store = held_.StoreIfMade(problem);
  return store && store->AnyHeld();
}

std::optional<std::vector<HeldSummary>> Program::HeldSummaries(const std::string& address,
                                                               uint8_t code, std::string& error) {
  HeldStore* store = held_.StoreIfMade(error);
  if (!store) {
    if (!error.empty()) return std::nullopt;
    return std::vector<HeldSummary>{};
  }
  return store->Summaries(address.empty() ? "" : TerminalIdentity(address), code, error);
}

bool Program::ForgetHeld(const std::string& address, std::string& error) {
  HeldStore* store = held_.StoreIfMade(error);
  if (!store) return error.empty();
  return store->Forget(TerminalIdentity(address), error);
}

void Program::ForgetUnlisted(const std::string& address) {
  const std::string terminal = TerminalIdentity(address);
  const auto& entries = kept_.List().Entries();
  if (std::any_of(entries.begin(), entries.end(),
                  [&](const auto& e) { return TerminalIdentity(e.address) == terminal; })) {
    return;
  }
  std::string error;
  if (!ForgetHeld(address, error)) AddLog(HeldProblemLine(error));
}

namespace {

std::string SelectedAddress(const TerminalList& list) {
  const int selected = list.Selected();
  return selected < 0 ? "" : list.Entries()[static_cast<std::size_t>(selected)].address;
}

}  // namespace

bool Program::DeleteTerminal() {
  const std::string before = SelectedAddress(kept_.List());
  const bool deleted = kept_.Delete();
  if (deleted) ForgetUnlisted(before);
  return deleted;
}

bool Program::ChangeTerminal(const std::string& address) {
  const std::string before = SelectedAddress(kept_.List());
  const bool changed = kept_.Change(address);
  if (changed && TerminalIdentity(before) != TerminalIdentity(address)) ForgetUnlisted(before);
  return changed;
}

void Program::RecordStored(const TerminalSession&, uint8_t, const DownloadRecord& record) {
  if (servedBatch_) servedBatch_->Stored(record.number, record.bytes);
}

void Program::RecordDeleted(const TerminalSession&, uint8_t, int64_t number) {
  if (servedBatch_) servedBatch_->Deleted(number);
}

void Program::RecordReceived(const TerminalSession&, uint8_t code,
                             std::span<const uint8_t> record) {
  if (servedRead_ && servedRead_->code == code) {
    servedRead_->records.emplace_back(record.begin(), record.end());
  }
}

void Program::Disconnected(TerminalSession&) {
  CommitServed();
}

void Program::KeepServedRead(uint8_t code) {
  CommitServed();
  servedRead_.reset();
  const RecordKind* kind = KindOfCode(code);
  if (!kind || !kind->writable) return;
  servedKeeper_ = Keeper();
  if (servedKeeper_->Keeps()) servedRead_ = ServedRead{code, {}};
}

void Program::CommitServed() {
  TerminalSession* session = served_.Session();
  if (servedBatch_ && session) servedKeeper_->Commit(*session, servedBatch_);
  servedBatch_.reset();
  if (!servedRead_ || !session) return;
  // An upload that ended well, and proves it saw everything, replaces every
  // row of the kind; any other only adds what it read.
  const bool whole =
      session->Glance().failure.empty() && UnprovenRead(session->Transfer().EndOfRead).empty();
  servedKeeper_->Replace(*session, servedRead_->code, servedRead_->records, whole);
  servedRead_.reset();
}
