#include "cli/send_summary.h"

#include "model/program.h"

namespace {

const char* const kNothingSent = "connected, nothing sent";

// What became of one terminal's download, from its transfer state.
std::string DownloadOutcome(const TransferState& state) {
  switch (state.End) {
    case TransferEnd::Complete:
      return state.Stored == state.RecordIndex ? "sent" : "send failed";
    case TransferEnd::Refused:
      return "refused: " + state.Refusal;
    case TransferEnd::SendFailed:
      return "send failed";
    case TransferEnd::TimedOut:
      return "timed out";
    case TransferEnd::ClosedByTerminal:
      return "closed by terminal";
    case TransferEnd::NotForward:
      return "answers out of order";
    case TransferEnd::Stopped:
      return "stopped";
    case TransferEnd::Running:
      break;
  }
  return state.RecordIndex == 0 ? kNothingSent : "stopped";
}

}  // namespace

SendSummary::SendSummary(const Program& program)
    : program_(program), started_(std::time(nullptr)) {}

void SendSummary::OnLogLine(const std::string& line) {
  if (line.starts_with("- Terminal In Use ")) {
    inUse_ = true;
  } else if (line.starts_with("- Success Connect ")) {
    Begin(line.substr(18), kNothingSent, false);
  } else if (line.starts_with("- Fail Connect ")) {
    Begin(line.substr(15), inUse_ ? "in use by another Orlent process" : "connect failed", true);
  } else if (!terminals_.empty() && !terminals_.back().ended) {
    Terminal& terminal = terminals_.back();
    Update(terminal);
    // A terminal's transfer is over once it is disconnected.
    terminal.ended =
        line.starts_with("- Success to Disconect ") || line.starts_with("- Fail to Disconnect ");
  }
}

void SendSummary::Begin(const std::string& address, const std::string& outcome, bool ended) {
  inUse_ = false;
  terminals_.push_back({address, outcome, 0, std::chrono::steady_clock::now(), 0, ended});
}

void SendSummary::Update(Terminal& terminal) const {
  terminal.outcome = DownloadOutcome(program_.ServedTransfer());
  terminal.stored = program_.ServedTransfer().Stored;
  terminal.seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - terminal.start).count();
}

bool SendSummary::AllSent() const {
  for (const auto& terminal : terminals_) {
    if (terminal.outcome != "sent") return false;
  }
  return true;
}

void SendSummary::Print(std::FILE* out) const {
  char when[32];
  std::tm local{};
  localtime_r(&started_, &local);
  std::strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S", &local);
  std::fprintf(out, "send started %s\n", when);
  std::fprintf(out, "%-20s %-34s %8s %9s\n", "terminal", "outcome", "stored", "seconds");
  for (const auto& t : terminals_) {
    std::fprintf(out, "%-20s %-34s %8u %9.2f\n", t.address.c_str(), t.outcome.c_str(), t.stored,
                 t.seconds);
  }
}
