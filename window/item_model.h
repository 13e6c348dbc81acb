// The item editor's table: the records of one download file, one row per
// record line and one column per column the table of record kinds gives
// its kind. The model owns the file's lines and every edit, each a step on
// its undo stack; comment and empty lines stay where they are, and a line
// nobody edited keeps its bytes. Each cell is checked as a send reads it and
// a refused value stays in its cell, with its reason. It holds no widget.
#pragma once

#include <QAbstractTableModel>
#include <QUndoStack>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "records/download_file_lines.h"
#include "records/record_kinds.h"
#include "text/code_page.h"

class ItemModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  // What the view sorts by: a number as a number, a text as a text.
  static constexpr int kSortRole = Qt::UserRole;

  // `codePage` is the terminal's set: a file not in UTF-8 is in it.
  ItemModel(const RecordKind& kind, CodePage codePage, QObject* parent = nullptr);

  // Reads the file at `path`; false with `error` set when it cannot be read.
  bool Open(const std::string& path, std::string& error);
  // Writes the lines to the file in one atomic step; the undo stack is then clean.
  bool Save(std::string& error);

  const RecordKind& Kind() const { return kind_; }
  const std::string& Path() const { return path_; }
  QUndoStack& Edits() { return edits_; }
  // The cells a send refuses, and the file's own faults.
  int FaultCount() const;
  // The faults of the file as a whole: no record, more than a file holds.
  std::vector<std::string> FileFaults() const;
  // Why a send refuses the cell; empty when it takes it.
  std::string CellFault(int row, int column) const;
  // The kind's records can be added and deleted (all but the speedkey's one).
  bool RowsCanChange() const { return kind_.numbered; }

  // A record numbered one above the highest, after `row` (-1: at the end).
  void AddRow(int row);
  // A copy of `row` after it.
  void DuplicateRow(int row);
  void DeleteRows(std::vector<int> rows);

  // Records that terminals hold otherwise or not at all: by record number,
  // the tool tip that names the terminals.
  void SetHeldMarks(std::map<int64_t, QString> marks);
  bool HeldMarked(int row) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  // An edit is one undoable step; a value that cannot stand in a line of
  // the file (a tab, a line end, a character the file's set lacks) is not
  // taken, and EditRefused says why.
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;

  // One line of the file as the model holds it.
  struct Entry {
    FileLine line;
    bool record = false;              // holds a record; else a comment or empty line, kept as it is
    std::vector<std::string> cells;   // its kind's columns, as many as the line has, file bytes
    std::string rest;                 // the columns after the kind's, with their tab
    std::vector<std::string> faults;  // per column of the kind
  };
  // The steps of the undo stack change the lines through these.
  void ReplaceEntry(std::size_t at, const Entry& entry);
  void InsertEntry(std::size_t at, const Entry& entry);
  void RemoveEntry(std::size_t at);
  const Entry& EntryAt(std::size_t at) const { return entries_[at]; }
  std::size_t EntryOfRow(int row) const { return rows_[static_cast<std::size_t>(row)]; }

 signals:
  void EditRefused(const QString& reason);
  // The rows or their faults changed: the status line counts them again.
  void CountsChanged();

 private:
  Entry Parsed(FileLine line, bool record) const;
  void Check(Entry& entry, std::size_t at) const;
  void CheckAll();
  void Rebuild();
  int RowOfEntry(std::size_t at) const;
  QString Shown(const std::string& bytes) const;
  std::string CellText(const Entry& entry, int column) const;
  QVariant CellData(const Entry& entry, int column, int role) const;
  int64_t NumberOf(const Entry& entry) const;
  // The typed `value` of `column` as the file's bytes; false with `why`.
  bool FileBytes(int column, const QString& value, std::string& bytes, QString& why) const;

  const RecordKind& kind_;
  CodePage codePage_;
  std::string path_;
  DownloadFileLines file_;  // its lines are held in entries_
  bool utf8_ = true;
  std::vector<Entry> entries_;
  std::vector<std::size_t> rows_;  // the entries that hold records, in file order
  int numberColumn_ = -1;
  std::map<int64_t, QString> heldMarks_;
  QUndoStack edits_;
};
