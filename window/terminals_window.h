// "Communication › Terminals…": the terminals at a glance in a window of
// their own (see TerminalsTable), sorted by any column, filtered by a search
// box, the name edited in place and kept in the settings file; a double
// click opens the entry's history, its lines of the journals, newest first.
#pragma once

#include <QDialog>
#include <QWidget>
#include <string>

#include "model/journal_history.h"

class Program;
class QLineEdit;
class QPlainTextEdit;
class QSortFilterProxyModel;
class QTableView;
class TerminalsTable;

class TerminalsWindow : public QWidget {
  Q_OBJECT

 public:
  TerminalsWindow(QWidget* parent, Program& program);
  QLineEdit* Filter() const { return filter_; }
  QTableView* Table() const { return table_; }
  const TerminalsTable& Terminals() const { return *terminals_; }
  // Reads the entries, the journals and the held state again; the sorting
  // and the filter stay.
  void Refresh();
  // The history of the entry at `row` of the table as shown.
  void ShowHistory(int row);

 private:
  // Keeps `name` for the terminal of `address`; a failure is shown.
  bool Rename(const std::string& address, const std::string& name);

  Program& program_;
  TerminalsTable* terminals_ = nullptr;
  QSortFilterProxyModel* shown_ = nullptr;
  QLineEdit* filter_ = nullptr;
  QTableView* table_ = nullptr;
};

// One terminal's lines of the journals, newest first.
class TerminalHistoryDialog : public QDialog {
  Q_OBJECT

 public:
  TerminalHistoryDialog(QWidget* parent, const std::string& title,
                        const std::vector<JournalLine>& history);
  QPlainTextEdit* Lines() const { return lines_; }

 private:
  QPlainTextEdit* lines_ = nullptr;
};
