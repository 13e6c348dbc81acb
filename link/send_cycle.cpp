// The send cycle: "&Send Data" walks the ticked terminals one after another,
// pausing on PauseTimer before each connect.
#include <string>

#include "app/tform1.h"
#include "transfer/download_start.h"

void TForm1::BtnSendClick() {
  // One window serves one terminal at a time: a second cycle would fight the
  // running one over ServedAddress and the transfer state.
  if (CycleMode == "SEND") {
    View.ShowError("Send Data Is Running !");
    return;
  }
  bool anyTicked = false;
  for (const auto& item : TerminalList.Items) anyTicked = anyTicked || item.Checked;
  if (!anyTicked) {
    View.ShowError("No Terminal To Send !");
    return;
  }
  // A bad port or a bad file stops the cycle before any terminal is
  // contacted, and leaves nothing of it started.
  if (!PrepareDownload(*this)) return;
  Router.Unroute(ServedAddress.Text);
  ServedAddress.Text.clear();
  CycleMode = "SEND";
  TerminalIndex = -1;
  NextTerminal();
}

void TForm1::NextTerminal() {
  // Whatever was awaited from the terminal left behind no longer counts, and
  // its late answers are not taken for those of the next.
  Loop.StopTimer(TimerSlot::AnswerTimeout);
  Router.Unroute(ServedAddress.Text);
  for (;;) {
    ++TerminalIndex;
    if (TerminalIndex >= static_cast<int32_t>(TerminalList.Items.size())) {
      CycleMode.clear();
      AddLog("");
      AddLog("* End *");
      return;
    }
    const TCheckListItem& entry = TerminalList.Items[static_cast<std::size_t>(TerminalIndex)];
    if (entry.Checked) {
      ServedAddress.Text = entry.Text;
      StartPauseTimer();
      return;
    }
    AddLog("");
    AddLog("- Skip Connect " + entry.Text);
  }
}

void TForm1::StartPauseTimer() {
  if (PauseTimer.Enabled) return;
  PauseTimer.Enabled = true;
  Loop.ArmTimer(TimerSlot::Pause, PauseTimer.Interval,
                [this] { HandleEvent([this] { PauseEnded(); }); });
}

void TForm1::PauseEnded() {
  PauseTimer.Enabled = false;
  Loop.StopTimer(TimerSlot::Pause);
  ConnectButton.Click();
}
