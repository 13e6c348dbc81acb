// What `orlent-cli plan` shows of a send plan: a table of each terminal's
// counts on standard output (with --list each record's change below it), and
// the same as JSON for scripts.
#pragma once

#include <string>

#include "model/send_plan.h"
#include "records/record_kinds.h"

// The table; `list`: each terminal's changes and deletions below its row.
std::string PlanText(const RecordKind& kind, const SendPlan& plan, bool list);
// The plan as one JSON object; the fields are described in the README.
std::string PlanJson(const RecordKind& kind, const std::string& file, const SendPlan& plan,
                     bool list);
