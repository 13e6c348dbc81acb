// Which records of a file the ticked terminals hold otherwise or not at all,
// as the item editor marks them: from a changes send's plan, by record
// number, the tool tip that names the terminals. A terminal that holds
// nothing known marks nothing: it would be sent the whole file.
#pragma once

#include <QString>
#include <cstdint>
#include <map>

#include "model/send_plan.h"

std::map<int64_t, QString> HeldMarksOf(const SendPlan& plan);
