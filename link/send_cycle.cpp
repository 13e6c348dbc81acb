// The send cycle: "&Send Data" walks the ticked terminals one after another,
// pausing on Timer1 before each connect.
#include <string>

#include "app/tform1.h"
#include "transfer/download_start.h"

void TForm1::BtnSendClick() {
  // One window serves one terminal at a time: a second cycle would fight the
  // running one over Edit1 and the transfer state.
  if (CycleMode == "SEND") {
    View.ShowError("Send Data Is Running !");
    return;
  }
  bool anyTicked = false;
  for (const auto& item : CheckListBox1.Items) anyTicked = anyTicked || item.Checked;
  if (!anyTicked) {
    View.ShowError("No Terminal To Send !");
    return;
  }
  // A bad port or a bad file stops the cycle before any terminal is
  // contacted, and leaves nothing of it started.
  if (!PrepareDownload(*this)) return;
  Router.Unroute(Edit1.Text);
  Edit1.Text.clear();
  CycleMode = "SEND";
  TerminalIndex = -1;
  NextTerminal();
}

void TForm1::NextTerminal() {
  // Whatever was awaited from the terminal left behind no longer counts, and
  // its late answers are not taken for those of the next.
  Loop.StopTimer(TimerSlot::AnswerTimeout);
  Router.Unroute(Edit1.Text);
  for (;;) {
    ++TerminalIndex;
    if (TerminalIndex >= static_cast<int32_t>(CheckListBox1.Items.size())) {
      CycleMode.clear();
      AddLog("");
      AddLog("* End *");
      return;
    }
    const TCheckListItem& entry = CheckListBox1.Items[static_cast<std::size_t>(TerminalIndex)];
    if (entry.Checked) {
      Edit1.Text = entry.Text;
      StartTimer1();
      return;
    }
    AddLog("");
    AddLog("- Skip Connect " + entry.Text);
  }
}

void TForm1::StartTimer1() {
  if (Timer1.Enabled) return;
  Timer1.Enabled = true;
  Loop.ArmTimer(TimerSlot::Timer1, Timer1.Interval,
                [this] { HandleEvent([this] { Timer1Timer(); }); });
}

void TForm1::Timer1Timer() {
  Timer1.Enabled = false;
  Loop.StopTimer(TimerSlot::Timer1);
  BtnConnect.Click();
}
