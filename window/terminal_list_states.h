// Each ticked terminal's state in the last send cycle, shown in the terminal
// list beside its address (a progress bar while it is sent to, a colour and an
// icon when it failed), and the cycle's totals in the status bar. The states
// are kept until the next cycle or the next edit of the list's entries.
#pragma once

#include <QStyledItemDelegate>
#include <optional>
#include <string>
#include <vector>

#include "session/terminal_state.h"

class QLabel;
class QListWidget;

class TerminalListStates {
 public:
  // Item data the state column is drawn from.
  enum Role { StateTextRole = Qt::UserRole + 1, StoredRole, TotalRole };

  // Draws into `list` (and gives it its delegate) and into `totals`.
  TerminalListStates(QListWidget* list, QLabel* totals);

  // A cycle started: its states, in list order, replace whatever was shown.
  void ShowCycle(const std::vector<TerminalState>& states, std::vector<std::string> entries);
  // One terminal's state changed; `state.entry` is its row.
  void Update(const TerminalState& state);
  // The list was drawn anew with `entries`: the states stay when the entries
  // are those of the cycle, and go when the list was edited.
  void ListShown(const std::vector<std::string>& entries);

 private:
  void ShowRow(int row);
  void ShowTotals();

  QListWidget* list_;
  QLabel* totals_;
  std::vector<std::string> entries_;                // the list's entries when the cycle started
  std::vector<std::optional<TerminalState>> rows_;  // by row; none for an entry not ticked
};

// Paints an entry as usual, then its state to the right of its address.
class TerminalStateDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
};
