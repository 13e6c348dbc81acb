// The report table's rows sorted by a click on a column's heading, by the
// values themselves (numbers as numbers, amounts by their cents), the totals
// row staying last whichever way a column is sorted.
#pragma once

#include <QSortFilterProxyModel>

class ReportSortModel : public QSortFilterProxyModel {
  Q_OBJECT

 public:
  // The role under which each cell holds what it sorts by.
  static constexpr int kSortRole = Qt::UserRole + 1;
  // The role under which the totals row's first cell holds true.
  static constexpr int kTotalsRole = Qt::UserRole + 2;

  explicit ReportSortModel(QObject* parent);

 protected:
  bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

 private:
  bool IsTotals(const QModelIndex& index) const;
};
