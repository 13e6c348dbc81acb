#include "window/terminal_list_states.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QSignalBlocker>
#include <QStyle>
#include <utility>

#include "console/terminal_state_text.h"
#include "window/local_text.h"

namespace {

const QColor kFailedColour(176, 0, 0);
constexpr int kGap = 6;  // between the address and its state

// The change from `before` to `after` is one of the counts of a running transfer.
bool CountOnly(const std::optional<TerminalState>& before, const TerminalState& after) {
  return before && before->phase == SessionPhase::Transferring &&
         after.phase == SessionPhase::Transferring && before->failure == after.failure;
}

}  // namespace

TerminalListStates::TerminalListStates(QListWidget* list, QLabel* totals)
    : list_(list), totals_(totals) {
  list_->setItemDelegate(new TerminalStateDelegate(list_));
  // The failed icon fits the list's low rows, as the tick boxes do.
  list_->setIconSize(QSize(11, 11));
  countTimer_.setSingleShot(true);
  countTimer_.callOnTimeout([this] { ShowHeldCounts(); });
}

void TerminalListStates::ShowCycle(const std::vector<TerminalState>& states,
                                   std::vector<std::string> entries, ResultSource verification) {
  entries_ = std::move(entries);
  verification_ = std::move(verification);
  rows_.assign(entries_.size(), std::nullopt);
  held_.assign(entries_.size(), false);
  countTimer_.stop();
  for (const TerminalState& state : states) {
    if (state.entry >= 0 && static_cast<std::size_t>(state.entry) < rows_.size()) {
      rows_[state.entry] = state;
    }
  }
  ReadVerdicts();
  for (int row = 0; row < list_->count(); ++row) ShowRow(row);
  ShowTotals();
}

void TerminalListStates::Update(const TerminalState& state) {
  if (state.entry < 0 || static_cast<std::size_t>(state.entry) >= rows_.size()) return;
  const bool countOnly = CountOnly(rows_[state.entry], state);
  rows_[state.entry] = state;
  held_[state.entry] = countOnly;
  if (!countOnly) {
    ReadVerdicts();
    ShowRow(state.entry);
    ShowTotals();
    return;
  }
  const auto since = std::chrono::steady_clock::now() - countsShown_;
  if (since >= kCountInterval) {
    ShowHeldCounts();
  } else if (!countTimer_.isActive()) {
    const auto rest = std::chrono::duration_cast<std::chrono::milliseconds>(kCountInterval - since);
    countTimer_.start(rest);
  }
}

void TerminalListStates::ShowHeldCounts() {
  countTimer_.stop();
  countsShown_ = std::chrono::steady_clock::now();
  for (std::size_t row = 0; row < held_.size(); ++row) {
    if (held_[row]) ShowRow(static_cast<int>(row));
  }
  ShowTotals();
}

void TerminalListStates::ListShown(const std::vector<std::string>& entries) {
  if (entries != entries_) {
    entries_.clear();
    rows_.clear();
    held_.clear();
    verification_ = {};
    verdicts_.clear();
    countTimer_.stop();
  }
  for (int row = 0; row < list_->count(); ++row) ShowRow(row);
  ShowTotals();
}

void TerminalListStates::ReadVerdicts() {
  verdicts_.assign(rows_.size(), std::nullopt);
  if (!verification_) return;
  std::size_t next = 0;
  const std::vector<TerminalResult> results = verification_();
  for (const auto& row : rows_) {
    if (!row || next >= results.size()) continue;
    verdicts_[static_cast<std::size_t>(row->entry)] = results[next++];
  }
}

void TerminalListStates::ShowRow(int row) {
  if (static_cast<std::size_t>(row) < held_.size()) held_[row] = false;
  QListWidgetItem* item = list_->item(row);
  if (!item) return;
  // Ticks are read from the item when it changes; a state is no tick.
  const QSignalBlocker quiet(list_);
  const auto& state = static_cast<std::size_t>(row) < rows_.size() ? rows_[row] : std::nullopt;
  if (!state) {
    item->setData(StateTextRole, QVariant());
    item->setToolTip({});
    item->setIcon({});
    item->setForeground(QBrush());
    return;
  }
  const auto& verdict = verdicts_[static_cast<std::size_t>(row)];
  const QString text =
      ShownText(verdict ? VerifiedStateText(*state, *verdict) : TerminalStateText(*state));
  item->setData(StateTextRole, text);
  item->setData(StoredRole, ShowsProgress(*state) ? QVariant(state->stored) : QVariant());
  item->setData(TotalRole, state->total);
  item->setToolTip(ShownText(state->address) + ": " + text);
  const bool failed = state->Failed();
  item->setIcon(failed ? list_->style()->standardIcon(QStyle::SP_MessageBoxCritical) : QIcon());
  item->setForeground(failed ? QBrush(kFailedColour) : QBrush());
}

void TerminalListStates::ShowTotals() {
  if (verification_) {
    std::vector<TerminalResult> results;
    for (const auto& verdict : verdicts_) {
      if (verdict) results.push_back(*verdict);
    }
    totals_->setText(ShownText(VerificationTotalsText(results)));
    return;
  }
  std::vector<TerminalState> states;
  for (const auto& row : rows_) {
    if (row) states.push_back(*row);
  }
  totals_->setText(states.empty() ? QString() : ShownText(CycleTotalsText(states)));
}

void TerminalStateDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const {
  QStyledItemDelegate::paint(painter, option, index);
  const QString text = index.data(TerminalListStates::StateTextRole).toString();
  if (text.isEmpty()) return;
  QStyleOptionViewItem item = option;
  initStyleOption(&item, index);
  const QWidget* widget = option.widget;
  QStyle* style = widget ? widget->style() : QApplication::style();
  const QRect address = style->subElementRect(QStyle::SE_ItemViewItemText, &item, widget);
  QRect area = option.rect;
  area.setLeft(address.left() + item.fontMetrics.horizontalAdvance(item.text) + kGap);
  if (area.width() <= 0) return;

  const QVariant stored = index.data(TerminalListStates::StoredRole);
  if (stored.isValid()) {
    QStyleOptionProgressBar bar;
    bar.initFrom(widget);
    bar.state |= QStyle::State_Horizontal;
    bar.rect = area.adjusted(0, 1, -1, -1);
    bar.minimum = 0;
    bar.maximum = index.data(TerminalListStates::TotalRole).toInt();
    bar.progress = stored.toInt();
    bar.text = QString("%1 / %2").arg(bar.progress).arg(bar.maximum);
    bar.textVisible = true;
    bar.textAlignment = Qt::AlignCenter;
    style->drawControl(QStyle::CE_ProgressBar, &bar, painter, widget);
    return;
  }
  painter->save();
  painter->setPen(item.palette.color(
      option.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
  const QVariant foreground = index.data(Qt::ForegroundRole);
  if (foreground.canConvert<QBrush>() && !(option.state & QStyle::State_Selected)) {
    const QBrush brush = foreground.value<QBrush>();
    if (brush.style() != Qt::NoBrush) painter->setPen(brush.color());
  }
  painter->drawText(area, Qt::AlignVCenter | Qt::AlignLeft,
                    item.fontMetrics.elidedText(text, Qt::ElideRight, area.width()));
  painter->restore();
}
