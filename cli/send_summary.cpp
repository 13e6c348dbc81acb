#include "cli/send_summary.h"

#include "app/tform1.h"

namespace {

bool StartsWith(const std::string& line, const char* prefix) {
  return line.rfind(prefix, 0) == 0;
}

}  // namespace

void SendSummary::OnLogLine(const std::string& line) {
  const auto now = std::chrono::steady_clock::now();
  if (StartsWith(line, "- Success Connect ")) {
    terminals_.push_back({line.substr(18), "connected, nothing sent", 0, now, 0});
  } else if (StartsWith(line, "- Fail Connect ")) {
    terminals_.push_back({line.substr(15), "connect failed", 0, now, 0});
  } else if (terminals_.empty()) {
    return;
  } else if (StartsWith(line, "- Complete Send Plu") ||
             StartsWith(line, "- CompleteDownloadNext")) {
    Finish("sent");
  } else if (StartsWith(line, "- Fail to Send ")) {
    Finish("send failed");
  } else if (StartsWith(line, "- Time Out ")) {
    Finish("timed out");
  }
}

void SendSummary::Finish(const std::string& outcome) {
  Terminal& terminal = terminals_.back();
  if (terminal.outcome != "connected, nothing sent") return;  // the first end counts
  terminal.outcome = outcome;
  terminal.records = form_.Transfer.RecordIndex;
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
  std::fprintf(out, "%-20s %-24s %8s %9s\n", "terminal", "outcome", "records", "seconds");
  for (const auto& t : terminals_) {
    std::fprintf(out, "%-20s %-24s %8u %9.2f\n", t.address.c_str(), t.outcome.c_str(), t.records,
                 t.seconds);
  }
}
