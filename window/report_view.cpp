#include "window/report_view.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <stdexcept>

#include "reports/report_cells.h"
#include "reports/report_chart.h"
#include "reports/report_csv.h"
#include "reports/report_reader.h"
#include "window/local_text.h"
#include "window/report_sort_model.h"

namespace {

QString KindName(ReportKind kind) {
  switch (kind) {
    case ReportKind::Plu:
      return "PLU report";
    case ReportKind::Time:
      return "Time report";
    case ReportKind::Group:
      return "Group report";
    case ReportKind::Department:
      return "Department report";
  }
  return {};
}

QStandardItem* Cell(const QString& text, const QVariant& sortValue, bool right, bool bold) {
  auto* item = new QStandardItem(text);
  item->setEditable(false);
  item->setData(sortValue, ReportSortModel::kSortRole);
  if (right) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  QFont font = item->font();
  font.setBold(bold);
  item->setFont(font);
  return item;
}

// The PLU report's name column comes after its PLU number.
constexpr int kNameColumn = 2;

QList<QStandardItem*> RowItems(const ReportTable& table, const ReportRow& row,
                               const PluNames* names) {
  const std::vector<std::string> cells = ReportCells(table, row);
  QList<QStandardItem*> items{
      Cell(QString::fromStdString(cells[0]), ShownText(row.time), false, false)};
  for (std::size_t i = 1; i < cells.size(); ++i) {
    items.append(Cell(QString::fromStdString(cells[i]), static_cast<qlonglong>(row.values[i - 1]),
                      true, false));
  }
  if (names) {
    const auto name = names->find(row.values[0]);
    const QString text = name == names->end() ? QString() : ShownText(name->second);
    items.insert(kNameColumn, Cell(text, text, false, false));
  }
  return items;
}

QList<QStandardItem*> TotalItems(const ReportTable& table, bool named) {
  QList<QStandardItem*> items;
  const std::vector<std::string> cells = TotalCells(table);
  for (std::size_t i = 0; i < cells.size(); ++i) {
    items.append(Cell(QString::fromStdString(cells[i]), {}, i > 0, true));
  }
  if (named) items.insert(kNameColumn, Cell({}, {}, false, true));
  items[0]->setData(true, ReportSortModel::kTotalsRole);
  return items;
}

QStandardItemModel* TableModel(const ReportTable& table, const PluNames* names, QObject* parent) {
  auto* model = new QStandardItemModel(parent);
  QStringList headings;
  for (const std::string& heading : ReportHeadings(table)) {
    headings.append(QString::fromStdString(heading));
  }
  if (names) headings.insert(kNameColumn, "Name");
  model->setHorizontalHeaderLabels(headings);
  for (const ReportRow& row : table.rows) model->appendRow(RowItems(table, row, names));
  model->appendRow(TotalItems(table, names != nullptr));
  return model;
}

// Every column as wide as its widest cell, the bold totals row and the
// heading included, over all rows and not only those in sight.
void FitColumns(QTableView& table) {
  const QAbstractItemModel& model = *table.model();
  const int grid = table.showGrid() ? 1 : 0;
  for (int column = 0; column < model.columnCount(); ++column) {
    int width = table.horizontalHeader()->sectionSizeHint(column);
    for (int row = 0; row < model.rowCount(); ++row) {
      width = std::max(width, table.sizeHintForIndex(model.index(row, column)).width() + grid);
    }
    table.setColumnWidth(column, width);
  }
}

QChart* BarChart(const ReportChart& report, const std::string& title,
                 const std::string& numberName) {
  const bool money = report.unit == ColumnUnit::Cents;
  auto* bars = new QBarSet(QString::fromStdString(report.valueName));
  auto* labels = new QBarCategoryAxis;
  for (const ChartBar& bar : report.bars) {
    bars->append(money ? static_cast<double>(bar.value) / 100 : static_cast<double>(bar.value));
    labels->append(QString::fromStdString(bar.label));
  }
  auto* series = new QBarSeries;
  series->append(bars);
  auto* chart = new QChart;
  chart->setTitle(ShownText(title));
  chart->addSeries(series);
  chart->legend()->hide();
  // Names ("Group 12", "PLU 1021") and the 24 hours stand upright under
  // their bars, whole.
  const bool names = std::any_of(report.bars.begin(), report.bars.end(),
                                 [](const ChartBar& bar) { return bar.label.size() > 2; });
  if (names || report.bars.size() > 12) labels->setLabelsAngle(-90);
  labels->setTruncateLabels(false);
  labels->setTitleText(ShownText(numberName));
  chart->addAxis(labels, Qt::AlignBottom);
  series->attachAxis(labels);
  auto* values = new QValueAxis;
  values->setLabelFormat(money ? "%.2f" : "%.0f");
  values->setTitleText(QString::fromStdString(report.valueName));
  chart->addAxis(values, Qt::AlignLeft);
  series->attachAxis(values);
  values->applyNiceNumbers();
  return chart;
}

}  // namespace

ReportView::ReportView(QWidget* parent, const ReportTable& table, const QString& path,
                       const std::optional<PluNames>& names)
    : QDialog(parent), table_(table), path_(path), source_(SourceOfReport(CoreText(path), table)) {
  setWindowTitle(KindName(table.kind) + " - " + QFileInfo(path).fileName());
  setModal(false);
  askSavePath = [](QWidget* owner, const QString& caption, const QString& suggested,
                   const QString& filter) {
    return QFileDialog::getSaveFileName(owner, caption, suggested, filter);
  };

  Table = new QTableView;
  auto* sorted = new ReportSortModel(this);
  sorted->setSourceModel(TableModel(table, names ? &*names : nullptr, this));
  Table->setModel(sorted);
  Table->setSortingEnabled(true);
  Table->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
  Table->verticalHeader()->hide();
  Table->verticalHeader()->setDefaultSectionSize(Table->fontMetrics().height() + 6);
  FitColumns(*Table);
  const ReportChart chart = ChartOf(table);
  Chart =
      new QChartView(BarChart(chart, ChartTitle(chart.title, source_), table.columns.front().name));
  Chart->setRenderHint(QPainter::Antialiasing);
  // Qt Charts leaves out a bar's label that does not fit beside its
  // neighbours, first of all the first and the last: every bar gets room
  // for its upright label.
  const int chartWidth = std::max(420, 120 + 20 * static_cast<int>(chart.bars.size()));
  Chart->setMinimumSize(chartWidth, 320);
  auto* split = new QSplitter;
  split->addWidget(Table);
  split->addWidget(Chart);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
  SaveChartButton = buttons->addButton("Save &Chart As…", QDialogButtonBox::ActionRole);
  SaveTableButton = buttons->addButton("Save &Table As…", QDialogButtonBox::ActionRole);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
  connect(SaveChartButton, &QPushButton::clicked, this, &ReportView::SaveChart);
  connect(SaveTableButton, &QPushButton::clicked, this, &ReportView::SaveTable);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(split, 1);
  layout->addWidget(buttons);
  split->setSizes({540, chartWidth});
  resize(std::max(1000, 560 + chartWidth), 600);
}

QString ReportView::AskPath(const QString& caption, const QString& suggestedName,
                            const QString& suffix, const QString& filter) {
  const QString suggested = QFileInfo(path_).dir().filePath(suggestedName);
  QString chosen = askSavePath(this, caption, suggested, filter);
  if (!chosen.isEmpty() && QFileInfo(chosen).suffix().isEmpty()) chosen += "." + suffix;
  return chosen;
}

void ReportView::SaveChart() {
  const QString chosen = AskPath("Save Chart As", ShownText(ChartFileName(table_.kind, source_)),
                                 "png", "PNG image (*.png)");
  if (chosen.isEmpty()) return;
  if (!Chart->grab().save(chosen, "PNG")) {
    QMessageBox::warning(this, windowTitle(), "Cannot write " + chosen);
  }
}

void ReportView::SaveTable() {
  const QString chosen = AskPath("Save Table As", QFileInfo(path_).completeBaseName() + ".csv",
                                 "csv", "CSV table (*.csv)");
  if (chosen.isEmpty()) return;
  try {
    WriteReportCsv(table_, CoreText(chosen));
  } catch (const std::runtime_error& e) {
    QMessageBox::warning(this, windowTitle(), ShownText(e.what()));
  }
}

ReportView* ShowReportView(QWidget* parent, const std::string& path, uint8_t reportCode,
                           const std::optional<PluNames>& names) {
  const std::optional<ReportKind> kind = ReportKindOfCode(reportCode);
  try {
    if (!kind)
      throw std::runtime_error("data type " + std::to_string(reportCode) + " is no report");
    auto* view = new ReportView(parent, ReadReportFile(path, *kind), ShownText(path),
                                *kind == ReportKind::Plu ? names : std::nullopt);
    view->setAttribute(Qt::WA_DeleteOnClose);
    view->show();
    return view;
  } catch (const std::runtime_error& e) {
    QMessageBox::warning(parent, "Report", ShownText(path) + "\n" + ShownText(e.what()));
    return nullptr;
  }
}
