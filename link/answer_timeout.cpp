// The answer time-out of a send cycle: a terminal that stops answering, or a
// request that never went out, must not hold the cycle at one terminal for ever.
#include "app/tform1.h"

void TForm1::ArmAnswerTimeout() {
  if (CycleMode != "SEND") return;
  // Each request replaces the pending shot, so the time counts from the
  // latest one, and the end of the transfer (DisconnectTerminal) stops it.
  // An answer does not stop it: one that leads to neither a next request nor
  // the end (a direction or kind that no handler acts on) would otherwise
  // leave the cycle waiting for ever.
  Loop.ArmTimer(TimerSlot::AnswerTimeout, AnswerTimeoutMs,
                [this] { HandleEvent([this] { AnswerTimedOut(); }); });
}

void TForm1::AnswerTimedOut() {
  if (CycleMode != "SEND") return;
  AddLog("- Time Out " + Edit1.Text);
  // The transfer is over: an answer that still comes in late must not send
  // the next record while the cycle has moved on.
  Transfer.Direction = 0;
  DisconnectTerminal();
}
