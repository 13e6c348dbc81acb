#include "model/held_orders.h"

#include <algorithm>

#include "model/program.h"

SendOrder TickedSendOrder(const Program& program) {
  return SendOrder{
      program.Kind().kind, program.DownloadFilePath(), program.Terminals().Ticked(), {}};
}

VerifyOrder TickedVerifyOrder(const Program& program) {
  return VerifyOrder{
      program.Kind().kind, program.DownloadFilePath(), program.Terminals().Ticked(), {}};
}

VerifyOrder RepairOrder(const Program& program, VerifyOrder verified) {
  const std::vector<TerminalVerification> verifications = program.Verifications();
  auto differs = [&](const CycleEntry& entry) {
    return std::any_of(verifications.begin(), verifications.end(), [&](const auto& v) {
      return v.address == entry.address && v.failure.empty() && v.comparison.Differs();
    });
  };
  verified.entries = program.Terminals().Only(-1);
  for (CycleEntry& entry : verified.entries) entry.ticked = differs(entry);
  verified.repair = true;
  return verified;
}

std::vector<CycleEntry> TargetEntries(const Program& program, SendTarget target) {
  const TerminalList& list = program.Terminals();
  return target == SendTarget::Selected ? list.Only(list.Selected()) : list.Ticked();
}

ReadFileOrder SendFileListing(const Program& program) {
  return ReadFileOrder{program.DownloadFilePath(), std::nullopt};
}

TerminalOrder ServedOrder(const Program& program) {
  return TerminalOrder{program.ServedAddress(), {}};
}

DownloadOrder ServedDownloadOrder(const Program& program) {
  return DownloadOrder{
      program.ServedAddress(), program.Kind().kind, program.DownloadFilePath(), {}};
}

UploadOrder ServedUploadOrder(const Program& program) {
  return UploadOrder{
      program.ServedAddress(), program.Kind().UploadCode(), program.UploadFileName(), {}};
}
