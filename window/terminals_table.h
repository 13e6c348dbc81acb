// The terminals at a glance, as a table model: one row per entry of the
// terminal list with the name the operator gave it, its address, its tick,
// the state of the last cycle with its whole reason, its last send,
// verification and receive from the daily journals, and what the held state
// says it holds. Only the name is edited here, through the given rename.
#pragma once

#include <QAbstractTableModel>
#include <functional>
#include <string>
#include <vector>

class Program;

struct TerminalRow {
  std::string name;  // empty: none given
  std::string address;
  bool ticked = false;
  // "Send: failed: refused: ERR: 90 Memory full", "Receive: done, <file>"; empty: not in it
  std::string lastCycle;
  std::string lastSend;  // "2026-12-08 09:00:00 - Complete Send Plu (Total : 2)"
  std::string lastVerification;
  std::string lastReceive;
  std::string
      held;  // "PLU: 2 records, last acknowledged 2026-12-08 09:00:02, PLU-Down-Default.txt"
};

// Every entry of the program's terminal list, in list order.
std::vector<TerminalRow> TerminalRows(Program& program);

class TerminalsTable : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column {
    Name,
    Address,
    Ticked,
    LastCycle,
    LastSend,
    LastVerification,
    LastReceive,
    Held,
    Columns
  };
  // Gives the terminal of `address` the name `name`; false when it was not kept.
  using Rename = std::function<bool(const std::string& address, const std::string& name)>;

  TerminalsTable(std::vector<TerminalRow> rows, Rename rename, QObject* parent);
  // The rows as they are now, in place of those shown.
  void Replace(std::vector<TerminalRow> rows);
  const TerminalRow& Row(int row) const { return rows_[static_cast<std::size_t>(row)]; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;

 private:
  std::vector<TerminalRow> rows_;
  Rename rename_;
};
