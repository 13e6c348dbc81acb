// The orders the window's buttons and menu items give, each made from what
// the program holds and the window shows: the chosen kind, the send file,
// the upload file, the served terminal and the list's ticks. They carry no
// options of their own: the ones in force hold.
#pragma once

#include "model/orders.h"

class Program;

// "&Send Data" and "Send to Failed Terminals".
SendOrder TickedSendOrder(const Program& program);
// "Verify Terminals".
VerifyOrder TickedVerifyOrder(const Program& program);
// "Repair Differing Terminals": `verified` (the order of the last
// verification) again, repairing, over the list as it stands with only the
// entries ticked whose terminal the last verification found to differ from
// the file; none ticked when it found none or was no verification.
VerifyOrder RepairOrder(const Program& program, VerifyOrder verified);
// Whom "Communication › Send…" sends to: the list's selected entry alone,
// or every ticked one.
enum class SendTarget { Selected, Ticked };
std::vector<CycleEntry> TargetEntries(const Program& program, SendTarget target);
// "&Read File".
ReadFileOrder SendFileListing(const Program& program);
// Connect and Disconnect of the served terminal.
TerminalOrder ServedOrder(const Program& program);
// "Communication › Send Data": the send file to the served terminal.
DownloadOrder ServedDownloadOrder(const Program& program);
// Upload: the chosen kind's records or report into the upload file.
UploadOrder ServedUploadOrder(const Program& program);
