#include "cycle/verify_job.h"

#include <utility>

#include "records/verify_lines.h"
#include "session/terminal_session.h"

namespace {

// Why a read that ended this way does not prove that it saw every record the
// terminal holds; empty when it does. A Read starts at the lowest number a
// record of its kind can have, so it saw everything when the terminal said
// that nothing follows ("99"), or when nothing can follow.
std::string Unproven(ReadEnd end) {
  switch (end) {
    case ReadEnd::NoMore:
    case ReadEnd::Last:
      return "";
    case ReadEnd::Unnumbered:
      return "the terminal sent its last record without its number (status 95)";
    case ReadEnd::EndNumber:
      // PLUs above 65535 are never asked for, and a record sent under 65535
      // cannot be told from the end.
      return "the terminal ended its records at 65535";
    case ReadEnd::None:
      break;
  }
  return "the terminal did not end its records";
}

}  // namespace

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
    options.unproven = Unproven(session.Transfer().EndOfRead);
    verification.comparison = CompareWithFile(*file_, received->second, options);
    for (const std::string& line : VerifyLines(session.Address(), verification.comparison)) {
      session.Log(line);
    }
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
