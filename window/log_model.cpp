#include "window/log_model.h"

#include <QSize>
#include <algorithm>

#include "window/local_text.h"

LogModel::LogModel(QObject* parent) : QAbstractListModel(parent) {
  redraw_.setSingleShot(true);
  redraw_.setInterval(kRedrawMs);
  redraw_.callOnTimeout(this, &LogModel::RedrawReplaced);
}

int LogModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(lines_.size());
}

QVariant LogModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  switch (role) {
    case Qt::DisplayRole:
      return ShownText(lines_[static_cast<std::size_t>(index.row())]);
    case Qt::SizeHintRole:
      return QSize(1, kItemHeight);
    default:
      return {};
  }
}

void LogModel::Append(const std::string& line) {
  const int row = rowCount();
  beginInsertRows(QModelIndex(), row, row);
  lines_.push_back(line);
  endInsertRows();
}

void LogModel::Replace(std::size_t row, const std::string& line) {
  if (row >= lines_.size()) return;
  lines_[row] = line;
  const int changed = static_cast<int>(row);
  firstReplaced_ = firstReplaced_ < 0 ? changed : std::min(firstReplaced_, changed);
  lastReplaced_ = std::max(lastReplaced_, changed);
  if (!redraw_.isActive()) redraw_.start();
}

void LogModel::RedrawReplaced() {
  const int last = std::min(lastReplaced_, rowCount() - 1);
  if (firstReplaced_ >= 0 && firstReplaced_ <= last) {
    emit dataChanged(index(firstReplaced_), index(last), {Qt::DisplayRole});
  }
  firstReplaced_ = lastReplaced_ = -1;
}

void LogModel::Clear() {
  beginResetModel();
  lines_.clear();
  firstReplaced_ = lastReplaced_ = -1;
  redraw_.stop();
  endResetModel();
}
