// The main window as laid out (its form resource), the event boundary, and the
// window's answer router made the one the link library's callbacks reach.
#include "app/tform1.h"

#include <exception>
#include <initializer_list>
#include <iterator>
#include <string>
#include <utility>

#include "link/upload_file.h"
#include "settings/settings_file.h"
#include "transfer/dispatch.h"

namespace {

void Hide(std::initializer_list<TControl*> controls) {
  for (auto* control : controls) control->Visible = false;
}

}  // namespace

TForm1::TForm1(EventLoop& loop, FormView& view, const LinkLibrary& link, std::string executablePath)
    : Loop(loop),
      View(view),
      Link(link),
      Router(loop, IsDispatchedCode),
      ExecutablePath(std::move(executablePath)) {
  Edit1.Name = "Edit1";
  Edit2.Name = "Edit2";
  Edit3.Name = "Edit3";
  Edit4.Name = "Edit4";
  Edit5.Name = "Edit5";
  Edit6.Name = "Edit6";
  Edit7.Name = "Edit7";
  CheckListBox1.Name = "CheckListBox1";
  ListBox1.Name = "ListBox1";
  BtnConnect.Name = "BtnConnect";
  BtnDisConnect.Name = "BtnDisConnect";
  BtnDownload.Name = "BtnDownload";

  // Design texts; FormCreate empties the placeholders before anyone sees them.
  Edit1.Text = "192.167.0.101";
  Edit2.Text = "Edit2";
  Edit3.Text = "5000";
  Edit4.Text = "3";
  Edit7.Text = "Edit7";
  Edit5.Enabled = false;
  CheckListBox1.Items = {{"192.167.0.101", true}, {"192.167.0.102", false}};
  ListBox1.Items = {"ListBox1"};

  BtnConnect.Caption = "&Connect";
  BtnDisConnect.Caption = "&Disconnect";
  BtnDownload.Caption = "D&ownload";
  BtnConnect.OnClick = [this] { Action1Execute(); };
  BtnDisConnect.OnClick = [this] { Action2Execute(); };
  BtnDownload.OnClick = [this] { Action4Execute(); };

  const std::pair<TRadioButton*, const char*> radioButtons[] = {
      {&RadioButton1, "PLU"},      {&RadioButton2, "Barcode"},     {&RadioButton3, "Report"},
      {&RadioButton4, "PLU"},      {&RadioButton5, "Time"},        {&RadioButton6, "Group"},
      {&RadioButton7, "Depart"},   {&RadioButton8, "ScaleID"},     {&RadioButton9, "Clerk"},
      {&RadioButton10, "TaxRate"}, {&RadioButton11, "Ingredient"}, {&RadioButton12, "ScrollMsg"},
      {&RadioButton13, "Speedkey"}};
  for (std::size_t i = 0; i < std::size(radioButtons); ++i) {
    auto& [button, caption] = radioButtons[i];
    button->Name = "RadioButton" + std::to_string(i + 1);
    button->Caption = caption;
    // The data-type buttons and the report-type group box holding 4 to 10
    // are laid out hidden.
    button->Visible = false;
  }
  RadioButton1.Checked = true;

  Hide({&Edit1, &Edit3, &Edit4, &Edit6, &BtnConnect, &BtnDisConnect, &BtnDownload});
  Timer1.Interval = 3000;
  Timer1.Enabled = false;
  SetActiveRouter(&Router);
}

TForm1::~TForm1() {
  if (ActiveRouter() == &Router) SetActiveRouter(nullptr);
}

void TForm1::HandleEvent(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& failure) {
    View.ShowFailure(failure.what());
  }
  View.ControlsChanged();
}
