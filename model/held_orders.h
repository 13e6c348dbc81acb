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
// "&Read File".
ReadFileOrder SendFileListing(const Program& program);
// Connect and Disconnect of the served terminal.
TerminalOrder ServedOrder(const Program& program);
// "Communication › Send Data": the send file to the served terminal.
DownloadOrder ServedDownloadOrder(const Program& program);
// Upload: the chosen kind's records or report into the upload file.
UploadOrder ServedUploadOrder(const Program& program);
