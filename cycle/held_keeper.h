// HeldKeeper: the held state as a cycle's jobs and the served terminal use
// it: what a terminal holds read for a changes send, a batch of rows kept for
// every record a terminal acknowledges, and the rows replaced by what a read
// found. With no store nothing is read or kept. A problem of the store ends
// its use for that terminal alone, never the transfer, and is told once in
// the log of the terminal it met.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "held/held_store.h"

class TerminalSession;

// "- Held state not used: <problem>".
std::string HeldProblemLine(const std::string& problem);

class HeldKeeper {
 public:
  // `store` null: nothing is kept; `port` is the terminals' port in force.
  HeldKeeper(HeldStore* store, int port) : store_(store), port_(port) {}

  bool Keeps() const { return store_ != nullptr; }
  HeldTerminal TerminalOf(const std::string& address) const;
  // What `session`'s terminal holds of `code`; none when nothing is kept or
  // the rows cannot be read.
  std::optional<HeldRecords> Records(TerminalSession& session, uint8_t code);
  // The batch that keeps what `session`'s terminal acknowledges of `toSend`
  // (records of `code` from `file`), begun; none when nothing is kept.
  std::unique_ptr<HeldBatch> Batch(TerminalSession& session, uint8_t code, const std::string& file,
                                   std::span<const DownloadRecord> toSend);
  // Commits what is left of `batch` and lets it go.
  void Commit(TerminalSession& session, std::unique_ptr<HeldBatch>& batch);
  // A read of `session`'s terminal found `records` of `code`; `whole`: the
  // read saw everything the terminal holds.
  void Replace(TerminalSession& session, uint8_t code,
               const std::vector<std::vector<uint8_t>>& records, bool whole);

 private:
  void Tell(TerminalSession& session, const std::string& problem);

  HeldStore* store_;
  int port_;
  bool told_ = false;
};
