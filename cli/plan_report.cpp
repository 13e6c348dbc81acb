#include "cli/plan_report.h"

#include <cstdio>
#include <vector>

#include "cli/json_text.h"

namespace {

// Each record's change, then each record to delete: "PLU 900: held, not in the file".
std::vector<std::string> ListLines(const RecordKind& kind, const ChangePlan& plan) {
  std::vector<std::string> lines;
  if (plan.nothingHeld) return {"nothing held: every record of the file is sent"};
  for (const RecordChange& change : plan.changes) {
    for (std::string& line : ChangeLines(kind, change)) lines.push_back(std::move(line));
  }
  for (const int64_t number : plan.toDelete) lines.push_back(MissingLine(kind, number));
  return lines;
}

std::string Row(const TerminalPlan& t) {
  const ChangePlan& p = t.plan;
  char text[160];
  std::snprintf(text, sizeof text, "%-20s %6zu %6d %8d %7zu %10d %8d", t.address.c_str(),
                p.toSend.size(), p.fresh, p.changed, p.toDelete.size(), p.unchanged, p.missing);
  return text;
}

}  // namespace

std::string PlanText(const RecordKind& kind, const SendPlan& plan, bool list) {
  char head[160];
  std::snprintf(head, sizeof head, "%-20s %6s %6s %8s %7s %10s %8s\n", "terminal", "send", "new",
                "changed", "delete", "unchanged", "missing");
  std::string text = head;
  for (const TerminalPlan& t : plan.terminals) {
    text += Row(t);
    text += t.plan.nothingHeld ? "  (nothing held)\n" : "\n";
    if (!list) continue;
    for (const std::string& line : ListLines(kind, t.plan)) text += "  " + line + "\n";
  }
  return text;
}

std::string PlanJson(const RecordKind& kind, const std::string& file, const SendPlan& plan,
                     bool list) {
  std::string json =
      "{\n  \"kind\": " + JsonString(kind.name) + ",\n  \"file\": " + JsonString(file) +
      ",\n  \"held_problem\": " + JsonStringOrNull(plan.heldProblem) + ",\n  \"terminals\": [";
  for (std::size_t i = 0; i < plan.terminals.size(); ++i) {
    const TerminalPlan& t = plan.terminals[i];
    const ChangePlan& p = t.plan;
    json +=
        std::string(i ? "," : "") + "\n    {\"address\": " + JsonString(t.address) +
        ", \"port\": " + std::to_string(t.port) + ", \"send\": " + std::to_string(p.toSend.size()) +
        ", \"new\": " + std::to_string(p.fresh) + ", \"changed\": " + std::to_string(p.changed) +
        ", \"delete\": " + std::to_string(p.toDelete.size()) +
        ", \"unchanged\": " + std::to_string(p.unchanged) +
        ", \"missing\": " + std::to_string(p.missing) +
        ", \"nothing_held\": " + (p.nothingHeld ? "true" : "false");
    if (list) {
      json += ",\n     \"changes\": [";
      const std::vector<std::string> lines = ListLines(kind, t.plan);
      for (std::size_t j = 0; j < lines.size(); ++j) json += (j ? ", " : "") + JsonString(lines[j]);
      json += "]";
    }
    json += "}";
  }
  return json + (plan.terminals.empty() ? "]\n}\n" : "\n  ]\n}\n");
}
