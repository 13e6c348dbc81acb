// The Send dialog's plan as a table model: one row per terminal the send
// would serve, with the records it would send that are new to the terminal
// or changed on it, those it would delete and those left as they are; or the
// whole file, for a terminal with nothing held and for a send of every record.
#pragma once

#include <QStandardItemModel>

#include "model/send_plan.h"

class SendPlanTable : public QStandardItemModel {
  Q_OBJECT

 public:
  enum Column { Terminal, New, Changed, ToDelete, Unchanged, Columns };

  explicit SendPlanTable(QObject* parent);

  // Shows `plan`; with `changes` off every terminal is sent the whole file.
  void Show(const SendPlan& plan, bool changes);
  // The row's terminal is sent the whole file: its New cell says so for the
  // figures' columns together.
  bool WholeFile(int row) const;
};
