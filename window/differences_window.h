// "View Differences": every difference the last verification found, one row
// per field that differs and per record missing on a terminal or only on it
// (terminal, record, field, in the file, on the terminal), prices as money,
// sorted by any column, and saved as a CSV file.
#pragma once

#include <QAbstractTableModel>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "model/terminal_result.h"
#include "records/record_kinds.h"

class QTableView;

struct DifferenceRow {
  std::string terminal;  // its address
  std::string record;    // "PLU 102"
  int64_t number = 0;    // the record's, which it sorts by
  std::string field;     // "price"; empty for a missing or an extra record
  std::string inFile;
  std::string onTerminal;
};

// The rows of each result's differences, in the results' order.
std::vector<DifferenceRow> DifferenceRows(const RecordKind& kind,
                                          const std::vector<TerminalResult>& results);
// The headings, then one record per row, as RFC 4180 CSV.
std::string DifferencesCsv(const std::vector<DifferenceRow>& rows);

class DifferencesModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column { Terminal, Record, Field, InFile, OnTerminal, Columns };
  DifferencesModel(std::vector<DifferenceRow> rows, QObject* parent);
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  std::vector<DifferenceRow> rows_;
};

class DifferencesWindow : public QWidget {
  Q_OBJECT

 public:
  // Where the CSV file goes; an empty text: not saved.
  using AskSavePath = std::function<QString(QWidget* owner, const QString& suggested)>;

  DifferencesWindow(QWidget* parent, std::vector<DifferenceRow> rows);
  QTableView* Table() const { return table_; }
  void SetAskSavePath(AskSavePath ask) { askSavePath_ = std::move(ask); }
  // "Save As…": the table as CSV, replacing the chosen file in one step.
  void Save();

 private:
  std::vector<DifferenceRow> rows_;
  QTableView* table_ = nullptr;
  AskSavePath askSavePath_;
};
