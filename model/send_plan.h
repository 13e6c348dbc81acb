// What a changes send would send to each terminal, from the held state alone:
// no terminal is contacted.
#pragma once

#include <string>
#include <vector>

#include "held/change_plan.h"

struct TerminalPlan {
  std::string address;  // as the terminal list has it
  int port = 0;
  ChangePlan plan;
};

struct SendPlan {
  // Why no plan could be made (the file cannot be read or is refused, no
  // entry is ticked); empty when one was.
  std::string error;
  // Why the held state cannot be used ("Orlent.db is not a database; set
  // aside as ..."): every terminal is then planned to get the whole file.
  std::string heldProblem;
  std::vector<TerminalPlan> terminals;  // the ticked entries, in list order
};
