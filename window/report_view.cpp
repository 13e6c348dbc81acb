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

QList<QStandardItem*> Items(const std::vector<std::string>& cells, bool bold) {
  QList<QStandardItem*> items;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    auto* item = new QStandardItem(QString::fromStdString(cells[i]));
    item->setEditable(false);
    if (i > 0) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont font = item->font();
    font.setBold(bold);
    item->setFont(font);
    items.append(item);
  }
  return items;
}

QStandardItemModel* TableModel(const ReportTable& table, QObject* parent) {
  auto* model = new QStandardItemModel(parent);
  QStringList headings;
  for (const std::string& heading : ReportHeadings(table)) {
    headings.append(QString::fromStdString(heading));
  }
  model->setHorizontalHeaderLabels(headings);
  for (const ReportRow& row : table.rows) model->appendRow(Items(ReportCells(table, row), false));
  model->appendRow(Items(TotalCells(table), true));
  return model;
}

QChart* BarChart(const ReportChart& report) {
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
  chart->setTitle(QString::fromStdString(report.title));
  chart->addSeries(series);
  chart->legend()->hide();
  // Names ("Group 12", "PLU 1021") and the 24 hours stand upright under
  // their bars, whole.
  const bool names = std::any_of(report.bars.begin(), report.bars.end(),
                                 [](const ChartBar& bar) { return bar.label.size() > 2; });
  if (names || report.bars.size() > 12) labels->setLabelsAngle(-90);
  labels->setTruncateLabels(false);
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

ReportView::ReportView(QWidget* parent, const ReportTable& table, const QString& path)
    : QDialog(parent), table_(table), path_(path) {
  setWindowTitle(KindName(table.kind) + " - " + QFileInfo(path).fileName());
  setModal(false);
  askSavePath = [](QWidget* owner, const QString& caption, const QString& suggested,
                   const QString& filter) {
    return QFileDialog::getSaveFileName(owner, caption, suggested, filter);
  };

  Table = new QTableView;
  Table->setModel(TableModel(table, this));
  Table->verticalHeader()->hide();
  Table->verticalHeader()->setDefaultSectionSize(Table->fontMetrics().height() + 6);
  Table->resizeColumnsToContents();
  Chart = new QChartView(BarChart(ChartOf(table)));
  Chart->setRenderHint(QPainter::Antialiasing);
  Chart->setMinimumSize(420, 320);
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
  split->setSizes({540, 460});
  resize(1000, 600);
}

QString ReportView::AskPath(const QString& caption, const QString& suffix, const QString& filter) {
  const QFileInfo report(path_);
  const QString suggested = report.dir().filePath(report.completeBaseName() + "." + suffix);
  QString chosen = askSavePath(this, caption, suggested, filter);
  if (!chosen.isEmpty() && QFileInfo(chosen).suffix().isEmpty()) chosen += "." + suffix;
  return chosen;
}

void ReportView::SaveChart() {
  const QString chosen = AskPath("Save Chart As", "png", "PNG image (*.png)");
  if (chosen.isEmpty()) return;
  if (!Chart->grab().save(chosen, "PNG")) {
    QMessageBox::warning(this, windowTitle(), "Cannot write " + chosen);
  }
}

void ReportView::SaveTable() {
  const QString chosen = AskPath("Save Table As", "csv", "CSV table (*.csv)");
  if (chosen.isEmpty()) return;
  try {
    WriteReportCsv(table_, CoreText(chosen));
  } catch (const std::runtime_error& e) {
    QMessageBox::warning(this, windowTitle(), ShownText(e.what()));
  }
}

ReportView* ShowReportView(QWidget* parent, const std::string& path, uint8_t reportCode) {
  const std::optional<ReportKind> kind = ReportKindOfCode(reportCode);
  try {
    if (!kind)
      throw std::runtime_error("data type " + std::to_string(reportCode) + " is no report");
    auto* view = new ReportView(parent, ReadReportFile(path, *kind), ShownText(path));
    view->setAttribute(Qt::WA_DeleteOnClose);
    view->show();
    return view;
  } catch (const std::runtime_error& e) {
    QMessageBox::warning(parent, "Report", ShownText(path) + "\n" + ShownText(e.what()));
    return nullptr;
  }
}
