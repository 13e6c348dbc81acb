// Each ticked terminal's state in the last send cycle, shown in the terminal
// list beside its address (a progress bar while it is sent to, a colour and an
// icon when it failed), and the cycle's totals in the status bar. The states
// are kept until the next cycle or the next edit of the list's entries. A
// verification's entries read by their verdict ("same", "differs: 2
// different"), and its totals count the verdicts ("5 same, 1 differs, 0 failed").
// A count that moves on with every answer is drawn a few times a second;
// every other change, the end of a transfer included, is drawn at once.
#pragma once

#include <QStyledItemDelegate>
#include <QTimer>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "model/terminal_result.h"
#include "session/terminal_state.h"

class QLabel;
class QListWidget;

class TerminalListStates {
 public:
  // Item data the state column is drawn from.
  enum Role { StateTextRole = Qt::UserRole + 1, StoredRole, TotalRole };

  // Draws into `list` (and gives it its delegate) and into `totals`.
  TerminalListStates(QListWidget* list, QLabel* totals);

  // The results of the cycle's terminals, in the order of its states.
  using ResultSource = std::function<std::vector<TerminalResult>()>;

  // A cycle started: its states, in list order, replace whatever was shown.
  // A verification gives where its results are read.
  void ShowCycle(const std::vector<TerminalState>& states, std::vector<std::string> entries,
                 ResultSource verification = {});
  // One terminal's state changed; `state.entry` is its row.
  void Update(const TerminalState& state);
  // The list was drawn anew with `entries`: the states stay when the entries
  // are those of the cycle, and go when the list was edited.
  void ListShown(const std::vector<std::string>& entries);

 private:
  // Counts drawn at most this often; a person reads no more.
  static constexpr std::chrono::milliseconds kCountInterval{250};

  // Takes each row's result from the verification.
  void ReadVerdicts();
  void ShowRow(int row);
  void ShowTotals();
  // Draws the rows whose counts are held back, and the totals.
  void ShowHeldCounts();

  QListWidget* list_;
  QLabel* totals_;
  std::vector<std::string> entries_;                // the list's entries when the cycle started
  std::vector<std::optional<TerminalState>> rows_;  // by row; none for an entry not ticked
  std::vector<bool> held_;                          // by row: a count not drawn yet
  ResultSource verification_;                       // none for a send or a receive
  std::vector<std::optional<TerminalResult>> verdicts_;  // by row, in a verification
  std::chrono::steady_clock::time_point countsShown_{};
  QTimer countTimer_;  // draws the held counts at the end of the interval
};

// Paints an entry as usual, then its state to the right of its address.
class TerminalStateDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
};
