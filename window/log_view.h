// The activity log's view: a list of rows of one height over LogModel.
#pragma once

#include <QListView>

class LogView : public QListView {
  Q_OBJECT

 public:
  explicit LogView(QWidget* parent = nullptr);

 protected:
  // A changed line keeps its row's height, so only that row is drawn again.
  // QListView would lay out every row anew, which makes each update of the
  // download's progress line cost time in proportion to the length of the log.
  void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                   const QList<int>& roles = QList<int>()) override;
};
