// "Verify Terminals": a verification cycle that reads each terminal's records
// of the chosen kind back and compares them with the send file's; with
// repair, followed by the send of what differs and a verification again.
#include "model/program.h"

void Program::Verify(const VerifyOrder& order) {
  if (cycles_.RefusedWhileRunning()) return;
  if (order.repair) {
    repair_.emplace();
    repair_->order = order;
  }
  StartVerify(order);
  if (order.repair && !CycleRunning()) repair_->stage = RepairStage::Done;
}

void Program::StartVerify(const VerifyOrder& order) {
  if (Refused(order.entries, order.options, "No Terminal To Verify !")) return;
  if (KindChoice{order.kind, std::nullopt}.DownloadCode() == 0) {
    view_.ShowError("Nothing To Verify !");
    return;
  }
  // The file is checked and read once, as a send reads it.
  const CodePage& codePage = Resolved(order.options, codePageInForce_);
  const auto prepared = PrepareDownload(order.kind, order.file, codePage);
  if (!prepared) return;
  // "Send to Failed" then sends the file to the terminals that differ.
  served_.Release();
  const uint32_t total = prepared->Total();
  BeginRun(Repairing() ? RunKind::Repair : RunKind::Verification, prepared->Code(), order.file,
           order.entries, order.options);
  cycles_.Run(Services(), *this, order.entries,
              std::make_unique<VerifyJob>(prepared->file, codePage, Keeper()), total,
              Resolved(order.options, inForce_), codePage, std::nullopt);
}
