// The program's controls as small value models. The core reads and writes
// them as the operator's input would; a front end only shows the visible
// ones and forwards the operator's input into them.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct TControl {
  std::string Name;
  bool Visible = true;
  bool Enabled = true;
};

struct TEdit : TControl {
  std::string Text;  // 8-bit text, kept byte for byte
};

struct TRadioButton : TControl {
  std::string Caption;
  bool Checked = false;
};

struct TCheckListItem {
  std::string Text;
  bool Checked = false;
};

// Single selection, unsorted; ItemIndex is -1 when nothing is selected.
struct TCheckListBox : TControl {
  std::vector<TCheckListItem> Items;
  int ItemIndex = -1;
};

// The activity log.
struct TListBox : TControl {
  std::vector<std::string> Items;
};
