#include "window/send_plan_table.h"

#include "window/local_text.h"

namespace {

constexpr int kWholeFileRole = Qt::UserRole + 1;

QStandardItem* Figure(int value) {
  auto* item = new QStandardItem(QString::number(value));
  item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return item;
}

QList<QStandardItem*> RowOf(const TerminalPlan& terminal, bool changes) {
  const ChangePlan& plan = terminal.plan;
  QList<QStandardItem*> row{new QStandardItem(ShownText(terminal.address))};
  if (!changes || plan.nothingHeld) {
    auto* whole = new QStandardItem(QString("whole file: %1 records").arg(plan.Total()));
    whole->setData(true, kWholeFileRole);
    row << whole << new QStandardItem << new QStandardItem << new QStandardItem;
  } else {
    row << Figure(plan.fresh) << Figure(plan.changed)
        << Figure(static_cast<int>(plan.toDelete.size())) << Figure(plan.unchanged);
  }
  for (QStandardItem* item : row) item->setEditable(false);
  return row;
}

}  // namespace

SendPlanTable::SendPlanTable(QObject* parent) : QStandardItemModel(0, Columns, parent) {
  setHorizontalHeaderLabels({"Terminal", "New", "Changed", "To delete", "Unchanged"});
}

void SendPlanTable::Show(const SendPlan& plan, bool changes) {
  removeRows(0, rowCount());
  for (const TerminalPlan& terminal : plan.terminals) appendRow(RowOf(terminal, changes));
}

bool SendPlanTable::WholeFile(int row) const {
  return index(row, New).data(kWholeFileRole).toBool();
}
