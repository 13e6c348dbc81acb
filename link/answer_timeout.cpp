// The answer time-out of a send cycle and of an upload: a terminal that stops
// answering, or a request that never went out, must not hold the cycle at one
// terminal, or the upload, for ever.
#include "app/tform1.h"
#include "records/records.h"

namespace {

// A send cycle, or an upload started from the window, waits for answers.
bool Waits(const TForm1& form) {
  return form.CycleMode == "SEND" || form.Transfer.Direction == kDirectionRead;
}

}  // namespace

void TForm1::ArmAnswerTimeout() {
  if (!Waits(*this)) return;
  // Each request replaces the pending shot, so the time counts from the
  // latest one, and the end of the transfer (DisconnectTerminal) stops it.
  // An answer does not stop it: one that leads to neither a next request nor
  // the end (a direction or kind that no handler acts on) would otherwise
  // leave the cycle waiting for ever.
  Loop.ArmTimer(TimerSlot::AnswerTimeout, AnswerTimeoutMs,
                [this] { HandleEvent([this] { AnswerTimedOut(); }); });
}

void TForm1::AnswerTimedOut() {
  if (!Waits(*this)) return;
  AddLog("- Time Out " + ServedAddress.Text);
  // A link that is no longer connected was closed from the terminal's side.
  if (Transfer.End == TransferEnd::Running) {
    const bool connected = Link.IsConnect(ServedAddress.Text.c_str(), -1) == 1;
    Transfer.End = connected ? TransferEnd::TimedOut : TransferEnd::ClosedByTerminal;
  }
  // The transfer is over: an answer that still comes in late must not send
  // the next record while the cycle has moved on.
  Transfer.Direction = 0;
  DisconnectTerminal();
}
