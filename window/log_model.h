// The activity log's lines as an item model for the log view. Lines are kept
// as the core's 8-bit bytes and decoded only when a row is drawn, so a log of
// a hundred thousand lines stays cheap to append to and to scroll. A line
// that is replaced with every answer (a running count) holds its new text at
// once, and is drawn again a few times a second.
#pragma once

#include <QAbstractListModel>
#include <QTimer>
#include <string>
#include <vector>

class LogModel : public QAbstractListModel {
  Q_OBJECT

 public:
  // Every row has this height, so the view can lay rows out without asking each one.
  static constexpr int kItemHeight = 13;

  explicit LogModel(QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;

  void Append(const std::string& line);
  // Replaces the line at `row`; a row that does not exist is left alone.
  void Replace(std::size_t row, const std::string& line);
  void Clear();
  const std::vector<std::string>& Lines() const { return lines_; }

 private:
  // Replaced lines are drawn again at most this often.
  static constexpr int kRedrawMs = 100;
  void RedrawReplaced();

  std::vector<std::string> lines_;
  // The replaced rows not drawn again yet: from `firstReplaced_` to `lastReplaced_`.
  int firstReplaced_ = -1;
  int lastReplaced_ = -1;
  QTimer redraw_;
};
