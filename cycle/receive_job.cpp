#include "cycle/receive_job.h"

#include <exception>
#include <utility>

#include "cycle/read_proof.h"
#include "records/record_kinds.h"
#include "session/terminal_session.h"

ReceiveJob::ReceiveJob(uint8_t code, std::string folder, Clock clock, Complete complete,
                       HeldKeeper keeper)
    : code_(code),
      folder_(std::move(folder)),
      clock_(std::move(clock)),
      complete_(std::move(complete)),
      keeper_(keeper) {
  const RecordKind* kind = KindOfCode(code);
  keepsRead_ = keeper_.Keeps() && kind && kind->writable;
}

void ReceiveJob::Start(TerminalSession& session) {
  Receipt& receipt = receipts_[&session];
  try {
    const auto day = std::chrono::floor<std::chrono::days>(clock_());
    receipt.file =
        std::make_unique<ReceivedFile>(folder_, ReceivedFileStem(code_, session.Address(), day));
  } catch (const std::exception& failure) {
    // One terminal's file that cannot be made fails that terminal alone,
    // told in its block of the log; the cycle goes on with the next.
    receipt.lost = true;
    session.Log(std::string("- ") + failure.what());
    session.Disconnect();
    return;
  }
  session.Upload(code_, receipt.file->TakeFile());
}

void ReceiveJob::RecordReceived(const TerminalSession& session, uint8_t code,
                                std::span<const uint8_t> record) {
  if (!keepsRead_ || code != code_) return;
  const auto found = receipts_.find(&session);
  if (found != receipts_.end()) found->second.records.emplace_back(record.begin(), record.end());
}

// A complete receive that proves it saw everything replaces the terminal's
// rows of the kind; any other only adds what it read.
void ReceiveJob::KeepRead(TerminalSession& session, Receipt& receipt, bool complete) {
  if (!keepsRead_) return;
  const bool whole = complete && UnprovenRead(session.Transfer().EndOfRead).empty();
  keeper_.Replace(session, code_, receipt.records, whole);
  receipt.records.clear();
}

void ReceiveJob::Finished(TerminalSession& session) {
  const auto found = receipts_.find(&session);
  if (found == receipts_.end() || !found->second.file) return;
  Receipt& receipt = found->second;
  // The session closed the file at its disconnect; the end rules alone end
  // an upload with no failure.
  const TerminalState state = session.Glance();
  const bool complete = !state.Failed();
  KeepRead(session, receipt, complete);
  try {
    const std::string& path = receipt.file->Keep(complete);
    receipt.incomplete = !complete;
    if (complete && complete_) complete_(path, code_);
    if (!complete) session.Log(IncompleteLine(state.stored, path));
  } catch (const std::exception& failure) {
    receipt.lost = true;
    session.Log(std::string("- ") + failure.what());
  }
}

void ReceiveJob::Amend(const TerminalSession& session, TerminalState& state) const {
  const auto found = receipts_.find(&session);
  if (found == receipts_.end()) return;
  const Receipt& receipt = found->second;
  if (receipt.file) state.file = receipt.file->Path();
  if (receipt.lost) {
    state.failure = "file not written";
  } else if (receipt.incomplete) {
    state.failure += "; " + RecordsText(state.stored) + " kept";
  }
}
