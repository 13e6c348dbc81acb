#include "cycle/verify_job.h"

#include <utility>

#include "cycle/read_proof.h"
#include "records/verify_lines.h"
#include "session/terminal_session.h"

void VerifyJob::Start(TerminalSession& session) {
  received_[&session].clear();
  session.Read(file_->Kind().code);
}

void VerifyJob::RecordReceived(const TerminalSession& session, uint8_t code,
                               std::span<const uint8_t> record) {
  if (code == file_->Kind().code) received_[&session].emplace_back(record.begin(), record.end());
}

void VerifyJob::Finished(TerminalSession& session) {
  TerminalVerification verification{session.Address(), session.Glance().failure, {}};
  const auto received = received_.find(&session);
  // A terminal that was never read (not connected, stopped in its pause)
  // has a failure of its own; a read cut short is no verdict either.
  if (verification.failure.empty() && received == received_.end()) {
    verification.failure = "not read";
  }
  if (verification.failure.empty()) {
    CompareOptions options;
    options.display = [this](std::string_view text) { return codePage_.ToUtf8(text); };
    options.unproven = UnprovenRead(session.Transfer().EndOfRead);
    verification.comparison = CompareWithFile(*file_, received->second, options);
    for (const std::string& line : VerifyLines(session.Address(), verification.comparison)) {
      session.Log(line);
    }
    // The truth wins: what the terminal was read to hold is what it holds.
    keeper_.Replace(session, file_->Kind().code, received->second, options.unproven.empty());
  }
  if (received != received_.end()) received_.erase(received);
  verdicts_[&session] = verifications_.size();
  verifications_.push_back(std::move(verification));
}

void VerifyJob::Amend(const TerminalSession& session, TerminalState& state) const {
  const auto verdict = verdicts_.find(&session);
  if (verdict == verdicts_.end()) return;
  const TerminalVerification& verification = verifications_[verdict->second];
  const RecordComparison& comparison = verification.comparison;
  if (!verification.failure.empty() || comparison.Matches()) return;
  // Not proven is no success: the terminal is sent the file again by "Send
  // to Failed" as one that differs is.
  state.failure = comparison.Differs() ? "differs: " + ComparisonCountsText(comparison)
                                       : "not proven: " + comparison.unproven;
}
