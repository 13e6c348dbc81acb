#include "window/log_model.h"

#include <QSize>

#include "window/local_text.h"

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
  const QModelIndex changed = index(static_cast<int>(row));
  emit dataChanged(changed, changed, {Qt::DisplayRole});
}

void LogModel::Clear() {
  beginResetModel();
  lines_.clear();
  endResetModel();
}
