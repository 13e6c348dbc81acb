// The report view: one received report file shown as a table, with its
// totals row last however a click on a heading sorts it (a PLU report with
// each PLU's name where the send file holds it), and as a chart that names
// the terminal and the day, with "Save Chart As…" (PNG) and "Save Table
// As…" (CSV). A window of its own beside the main window, not modal; it goes
// away when closed.
#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "reports/report_table.h"
#include "window/plu_names.h"
#include "window/report_source.h"

class QChartView;
class QPushButton;
class QStandardItemModel;
class QTableView;

class ReportView : public QDialog {
  Q_OBJECT

 public:
  // `path` is the report file the table was read from: the title names it,
  // and the save dialogs suggest its name. A PLU report's table has a name
  // column when `names` are given.
  ReportView(QWidget* parent, const ReportTable& table, const QString& path,
             const std::optional<PluNames>& names = std::nullopt);

  // Asks for the file to save to (empty: cancelled); replaceable, so tests
  // can stand in for the operator.
  std::function<QString(QWidget* parent, const QString& caption, const QString& suggested,
                        const QString& filter)>
      askSavePath;

  QTableView* Table;  // the rows, then the totals row
  QChartView* Chart;
  QPushButton* SaveChartButton;
  QPushButton* SaveTableButton;

 private:
  void SaveChart();
  void SaveTable();
  // The path the operator picks, `suggestedName` in the report's folder
  // offered, with `suffix` added when the name has none.
  QString AskPath(const QString& caption, const QString& suggestedName, const QString& suffix,
                  const QString& filter);

  ReportTable table_;
  QString path_;
  ReportSource source_;
};

// Reads the report file at `path` (data type `reportCode`) and shows it in a
// new report view. A file that cannot be read, or has a bad line, is named in
// a message box instead, with the line; nothing is shown of it. `names` are
// for a PLU report. The view, or nullptr.
ReportView* ShowReportView(QWidget* parent, const std::string& path, uint8_t reportCode,
                           const std::optional<PluNames>& names = std::nullopt);
