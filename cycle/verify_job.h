// VerifyJob: a verification's work on each terminal: read back every record
// of the download file's kind and compare them with the file's, on every
// field a download writes. Each terminal's verdict ends its block of the log
// and shows in its state; what was read replaces the terminal's held rows.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "cycle/cycle_job.h"
#include "cycle/held_keeper.h"
#include "records/checked_download.h"
#include "records/record_compare.h"
#include "text/code_page.h"

// One terminal's verification.
struct TerminalVerification {
  std::string address;
  std::string failure;  // why its records could not be read; empty when they were
  RecordComparison comparison;
};

class VerifyJob : public CycleJob {
 public:
  // `file` is the checked download file; texts in the log are shown
  // converted from `codePage`.
  VerifyJob(std::shared_ptr<const CheckedDownload> file, CodePage codePage,
            HeldKeeper keeper = {nullptr, 0})
      : file_(std::move(file)), codePage_(codePage), keeper_(keeper) {}

  void Start(TerminalSession& session) override;
  void RecordReceived(const TerminalSession& session, uint8_t code,
                      std::span<const uint8_t> record) override;
  void Finished(TerminalSession& session) override;
  void Amend(const TerminalSession& session, TerminalState& state) const override;

  // Each finished terminal's verification, in the order they finished.
  const std::vector<TerminalVerification>& Verifications() const { return verifications_; }

 private:
  std::shared_ptr<const CheckedDownload> file_;
  CodePage codePage_;
  HeldKeeper keeper_;
  std::map<const TerminalSession*, std::vector<std::vector<uint8_t>>> received_;
  std::map<const TerminalSession*, std::size_t> verdicts_;  // a session's place in verifications_
  std::vector<TerminalVerification> verifications_;
};
