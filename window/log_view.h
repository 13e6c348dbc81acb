// The activity log's view: a list of rows of one height over LogModel. A
// line too long for the log shows whole as its tool tip.
#pragma once

#include <QListView>

class LogView : public QListView {
  Q_OBJECT

 public:
  explicit LogView(QWidget* parent = nullptr);

  // The tool tip of the line at `point` of the viewport: the whole line when
  // the log cuts it, else empty.
  QString ToolTipAt(const QPoint& point) const;

 protected:
  bool viewportEvent(QEvent* event) override;
  // A changed line keeps its row's height, so only that row is drawn again.
  // QListView would lay out every row anew, which makes each update of the
  // download's progress line cost time in proportion to the length of the log.
  void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                   const QList<int>& roles = QList<int>()) override;
};
