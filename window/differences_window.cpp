#include "window/differences_window.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>
#include <array>
#include <utility>

#include "records/record_compare.h"
#include "reports/csv.h"
#include "reports/report_cells.h"
#include "settings/atomic_file.h"
#include "window/local_text.h"

namespace {

constexpr std::array<const char*, DifferencesModel::Columns> kHeadings = {
    "Terminal", "Record", "Field", "In the file", "On the terminal"};

// A price is kept in cents and read as money.
std::string Shown(const KindColumn& column, const std::string& value) {
  if (column.name != "price" || value.empty()) return value;
  return MoneyText(std::stoll(value));
}

DifferenceRow RowOf(const RecordKind& kind, const std::string& terminal,
                    const RecordDifference& difference) {
  DifferenceRow row{terminal, RecordName(kind, difference.number), difference.number, {}, {}, {}};
  switch (difference.kind) {
    case RecordDifference::Kind::Missing:
      row.inFile = "held";
      row.onTerminal = "missing";
      break;
    case RecordDifference::Kind::Extra:
      row.inFile = "missing";
      row.onTerminal = "held";
      break;
    case RecordDifference::Kind::Field:
      row.field = difference.column->name;
      row.inFile = Shown(*difference.column, difference.inFile);
      row.onTerminal = Shown(*difference.column, difference.onTerminal);
      break;
  }
  return row;
}

}  // namespace

std::vector<DifferenceRow> DifferenceRows(const RecordKind& kind,
                                          const std::vector<TerminalResult>& results) {
  std::vector<DifferenceRow> rows;
  for (const TerminalResult& result : results) {
    if (!result.comparison) continue;
    for (const RecordDifference& difference : result.comparison->found) {
      rows.push_back(RowOf(kind, result.address, difference));
    }
  }
  return rows;
}

std::string DifferencesCsv(const std::vector<DifferenceRow>& rows) {
  std::string csv = CsvRecord({kHeadings.begin(), kHeadings.end()});
  for (const DifferenceRow& r : rows) {
    csv += CsvRecord({r.terminal, r.record, r.field, r.inFile, r.onTerminal});
  }
  return csv;
}

DifferencesModel::DifferencesModel(std::vector<DifferenceRow> rows, QObject* parent)
    : QAbstractTableModel(parent), rows_(std::move(rows)) {}

int DifferencesModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int DifferencesModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : Columns;
}

QVariant DifferencesModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const DifferenceRow& r = rows_[static_cast<std::size_t>(index.row())];
  if (role == Qt::UserRole && index.column() == Record) return qlonglong{r.number};
  if (role != Qt::DisplayRole && role != Qt::ToolTipRole && role != Qt::UserRole) return {};
  const std::string* cells[] = {&r.terminal, &r.record, &r.field, &r.inFile, &r.onTerminal};
  return ShownText(*cells[index.column()]);
}

QVariant DifferencesModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  if (section < 0 || section >= Columns) return {};
  return QString(kHeadings[static_cast<std::size_t>(section)]);
}

DifferencesWindow::DifferencesWindow(QWidget* parent, std::vector<DifferenceRow> rows)
    : QWidget(parent, Qt::Window), rows_(std::move(rows)) {
  setObjectName("DifferencesWindow");
  setWindowTitle("Differences");
  setAttribute(Qt::WA_DeleteOnClose);
  auto* sorted = new QSortFilterProxyModel(this);
  sorted->setSourceModel(new DifferencesModel(rows_, this));
  sorted->setSortRole(Qt::UserRole);
  table_ = new QTableView(this);
  table_->setModel(sorted);
  table_->setSortingEnabled(true);
  table_->sortByColumn(-1, Qt::AscendingOrder);  // as found until a header is clicked
  table_->horizontalHeader()->setStretchLastSection(true);
  table_->verticalHeader()->hide();
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  QPushButton* save = buttons->addButton("Save &As…", QDialogButtonBox::ActionRole);
  save->setObjectName("SaveAsButton");
  connect(save, &QPushButton::clicked, this, &DifferencesWindow::Save);
  connect(buttons, &QDialogButtonBox::rejected, this, &QWidget::close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(table_);
  layout->addWidget(buttons);
  resize(640, 400);
  askSavePath_ = [](QWidget* owner, const QString& suggested) {
    return QFileDialog::getSaveFileName(owner, "Save Differences As", suggested,
                                        "CSV table (*.csv)");
  };
}

void DifferencesWindow::Save() {
  const QString path = askSavePath_(this, "Differences.csv");
  if (path.isEmpty()) return;
  if (!ReplaceFileAtomically(CoreText(path), DifferencesCsv(rows_))) {
    QMessageBox::warning(this, "Orlent", "Unable to write to " + path);
  }
}
