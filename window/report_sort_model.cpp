#include "window/report_sort_model.h"

ReportSortModel::ReportSortModel(QObject* parent) : QSortFilterProxyModel(parent) {
  setSortRole(kSortRole);
}

bool ReportSortModel::IsTotals(const QModelIndex& index) const {
  return sourceModel()->index(index.row(), 0).data(kTotalsRole).toBool();
}

bool ReportSortModel::lessThan(const QModelIndex& left, const QModelIndex& right) const {
  const bool leftTotals = IsTotals(left);
  if (leftTotals || IsTotals(right)) {
    // A descending sort puts the greater last: the totals are greater then.
    return sortOrder() == Qt::AscendingOrder ? !leftTotals : leftTotals;
  }
  return QSortFilterProxyModel::lessThan(left, right);
}
