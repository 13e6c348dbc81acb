// ReceiveJob: a receive cycle's work on each terminal: the upload of one kind
// of records or one report into a file of its own in a folder, named by the
// kind, the terminal's address and the local date of its start. A file is
// named only when its receive is over: complete, or kept as incomplete with
// the records it holds told in the terminal's block and state. Whoever runs
// the cycle hears of each file that a terminal filled completely. The records
// a receive of a kind that downloads write found replace the terminal's held
// rows of that kind.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "cycle/cycle_job.h"
#include "cycle/held_keeper.h"
#include "cycle/received_file.h"

class ReceiveJob : public CycleJob {
 public:
  using Clock = std::function<std::chrono::local_seconds()>;
  // A terminal's file at `path` holds all it had of data type `code`.
  using Complete = std::function<void(const std::string& path, uint8_t code)>;

  ReceiveJob(uint8_t code, std::string folder, Clock clock, Complete complete,
             HeldKeeper keeper = {nullptr, 0});
  void Start(TerminalSession& session) override;
  void RecordReceived(const TerminalSession& session, uint8_t code,
                      std::span<const uint8_t> record) override;
  void Finished(TerminalSession& session) override;
  // Names the terminal's file, and says what an incomplete one holds.
  void Amend(const TerminalSession& session, TerminalState& state) const override;

 private:
  // One terminal's receive: its file, and what became of it.
  struct Receipt {
    std::unique_ptr<ReceivedFile> file;         // null: it could not be made
    bool incomplete = false;                    // kept under the incomplete name
    bool lost = false;                          // could not be made or named
    std::vector<std::vector<uint8_t>> records;  // read, of a kind the held state keeps
  };
  void KeepRead(TerminalSession& session, Receipt& receipt, bool complete);

  uint8_t code_;
  std::string folder_;
  Clock clock_;
  Complete complete_;
  HeldKeeper keeper_;
  bool keepsRead_;                                      // the kind is one a download writes
  std::map<const TerminalSession*, Receipt> receipts_;  // each session that connected
};
