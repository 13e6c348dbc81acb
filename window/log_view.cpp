#include "window/log_view.h"

#include <QHelpEvent>
#include <QToolTip>

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

QString LogView::ToolTipAt(const QPoint& point) const {
  const QModelIndex line = indexAt(point);
  if (!line.isValid()) return {};
  const QString text = line.data(Qt::DisplayRole).toString();
  constexpr int kMargin = 4;  // the row's own margins beside its text
  const int room = viewport()->width() - visualRect(line).left() - kMargin;
  return fontMetrics().horizontalAdvance(text) > room ? text : QString();
}

bool LogView::viewportEvent(QEvent* event) {
  if (event->type() != QEvent::ToolTip) return QListView::viewportEvent(event);
  const auto* help = static_cast<QHelpEvent*>(event);
  const QString tip = ToolTipAt(help->pos());
  if (tip.isEmpty()) {
    QToolTip::hideText();
  } else {
    QToolTip::showText(help->globalPos(), tip, viewport(), visualRect(indexAt(help->pos())));
  }
  return true;
}
