#include "cycle/held_keeper.h"

#include "session/terminal_session.h"
#include "settings/terminal_address.h"

std::string HeldProblemLine(const std::string& problem) {
  return "- Held state not used: " + problem;
}

HeldTerminal HeldKeeper::TerminalOf(const std::string& address) const {
  return HeldTerminal{TerminalIdentity(address), port_};
}

void HeldKeeper::Tell(TerminalSession& session, const std::string& problem) {
  if (told_) return;
  told_ = true;
  session.Log(HeldProblemLine(problem));
}

std::optional<HeldRecords> HeldKeeper::Records(TerminalSession& session, uint8_t code) {
  if (!store_) return std::nullopt;
  std::string error;
  auto records = store_->Records(TerminalOf(session.Address()), code, error);
  if (!records) Tell(session, error);
  return records;
}

std::unique_ptr<HeldBatch> HeldKeeper::Batch(TerminalSession& session, uint8_t code,
                                             const std::string& file,
                                             std::span<const DownloadRecord> toSend) {
  if (!store_) return nullptr;
  auto batch = std::make_unique<HeldBatch>(*store_, TerminalOf(session.Address()), code, file);
  std::string error;
  // Unless the rows of the records about to change are forgotten first, the
  // store could claim an old record the terminal no longer holds.
  if (batch->Begin(toSend, error)) return batch;
  Tell(session, error);
  return nullptr;
}

void HeldKeeper::Commit(TerminalSession& session, std::unique_ptr<HeldBatch>& batch) {
  if (!batch) return;
  std::string error;
  const bool committed = batch->Commit(error);
  const std::string failure = batch->Failure().empty() ? error : batch->Failure();
  if (!committed || !batch->Failure().empty()) Tell(session, failure);
  batch.reset();
}

void HeldKeeper::Replace(TerminalSession& session, uint8_t code,
                         const std::vector<std::vector<uint8_t>>& records, bool whole) {
  if (!store_) return;
  std::string error;
  if (!store_->ReplaceWithRead(TerminalOf(session.Address()), code, records, whole, error)) {
    Tell(session, error);
  }
}
