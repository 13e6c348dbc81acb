#include "window/log_view.h"

LogView::LogView(QWidget* parent) : QListView(parent) {
  setUniformItemSizes(true);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setFrameStyle(QFrame::Box | QFrame::Sunken);  // the log's tile-style bevel
}

void LogView::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                          const QList<int>& roles) {
  if (topLeft == bottomRight && roles == QList<int>{Qt::DisplayRole}) {
    update(topLeft);
    return;
  }
  QListView::dataChanged(topLeft, bottomRight, roles);
}
