#include "window/held_marks.h"

#include <QStringList>

#include "window/local_text.h"

std::map<int64_t, QString> HeldMarksOf(const SendPlan& plan) {
  std::map<int64_t, QStringList> changed, fresh;
  for (const TerminalPlan& terminal : plan.terminals) {
    if (terminal.plan.nothingHeld) continue;
    for (const RecordChange& change : terminal.plan.changes) {
      (change.fresh ? fresh : changed)[change.number] << ShownText(terminal.address);
    }
  }
  std::map<int64_t, QString> marks;
  for (const auto& [number, terminals] : changed) {
    marks[number] = "Held otherwise by " + terminals.join(", ");
  }
  for (const auto& [number, terminals] : fresh) {
    QString& mark = marks[number];
    if (!mark.isEmpty()) mark += "\n";
    mark += "Not held by " + terminals.join(", ");
  }
  return marks;
}
