#include "window/item_model.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QUndoCommand>
#include <algorithm>

#include "records/checked_download.h"
#include "records/download_line.h"
#include "records/item_row_check.h"
#include "records/money_text.h"
#include "reports/report_cells.h"
#include "text/str_to_int.h"
#include "window/local_text.h"

namespace {

// An edit of one line: the line as it was and as it is after.
class LineEdit : public QUndoCommand {
 public:
  LineEdit(ItemModel& model, std::size_t at, ItemModel::Entry after, const QString& text)
      : QUndoCommand(text),
        model_(model),
        at_(at),
        before_(model.EntryAt(at)),
        after_(std::move(after)) {}
  void redo() override { model_.ReplaceEntry(at_, after_); }
  void undo() override { model_.ReplaceEntry(at_, before_); }

 private:
  ItemModel& model_;
  std::size_t at_;
  ItemModel::Entry before_, after_;
};

// A line added at `at`, or, `removing`, the line at `at` taken out.
class LineInsert : public QUndoCommand {
 public:
  LineInsert(ItemModel& model, std::size_t at, ItemModel::Entry entry, bool removing,
             const QString& text, QUndoCommand* parent = nullptr)
      : QUndoCommand(text, parent),
        model_(model),
        at_(at),
        entry_(std::move(entry)),
        removing_(removing) {}
  void redo() override { removing_ ? model_.RemoveEntry(at_) : model_.InsertEntry(at_, entry_); }
  void undo() override { removing_ ? model_.InsertEntry(at_, entry_) : model_.RemoveEntry(at_); }

 private:
  ItemModel& model_;
  std::size_t at_;
  ItemModel::Entry entry_;
  bool removing_;
};

std::string Joined(const std::vector<std::string>& cells, const std::string& rest) {
  std::string line;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    if (i > 0) line += '\t';
    line += cells[i];
  }
  return line + rest;
}

}  // namespace

ItemModel::ItemModel(const RecordKind& kind, CodePage codePage, QObject* parent)
    : QAbstractTableModel(parent), kind_(kind), codePage_(std::move(codePage)) {
  for (std::size_t i = 0; i < kind_.columns.size(); ++i) {
    if (kind_.columns[i].recordNumber) numberColumn_ = static_cast<int>(i);
  }
}

bool ItemModel::Open(const std::string& path, std::string& error) {
  DownloadFileLines file;
  if (!ReadFileLines(path, file, error)) return false;
  beginResetModel();
  path_ = path;
  utf8_ = TextsAreUtf8(file);
  entries_.clear();
  // The speedkey file's record is its first line, whatever it holds; the
  // other files' records are their lines but comments and empty ones.
  if (!kind_.numbered && file.lines.empty()) file.lines.push_back({});
  for (std::size_t i = 0; i < file.lines.size(); ++i) {
    const bool record = kind_.numbered ? !IsSkippedLine(file.lines[i].text) : i == 0;
    entries_.push_back(Parsed(std::move(file.lines[i]), record));
  }
  file.lines.clear();
  file_ = std::move(file);
  CheckAll();
  Rebuild();
  edits_.clear();
  endResetModel();
  emit CountsChanged();
  return true;
}

bool ItemModel::Save(std::string& error) {
  for (const Entry& entry : entries_) file_.lines.push_back(entry.line);
  const bool saved = SaveFileLines(path_, file_, error);
  file_.lines.clear();
  if (saved) edits_.setClean();
  return saved;
}

ItemModel::Entry ItemModel::Parsed(FileLine line, bool record) const {
  Entry entry{std::move(line), record, {}, {}, {}};
  if (!record) return entry;
  std::string_view rest = entry.line.text;
  while (entry.cells.size() < kind_.columns.size()) {
    const std::size_t tab = rest.find('\t');
    entry.cells.emplace_back(rest.substr(0, tab));
    if (tab == std::string_view::npos) {
      rest = {};
      break;
    }
    rest.remove_prefix(tab + 1);
    if (entry.cells.size() == kind_.columns.size()) entry.rest = "\t" + std::string(rest);
  }
  return entry;
}

void ItemModel::Check(Entry& entry, std::size_t at) const {
  if (!entry.record) return;
  entry.faults =
      CheckRecordLine(kind_, entry.line.text, static_cast<int>(at) + 1, codePage_, utf8_);
  // A price that is no whole number of cents was typed as no amount of money.
  for (std::size_t i = 0; i < entry.cells.size(); ++i) {
    if (kind_.columns[i].money && !entry.faults[i].empty() && !CentsOfMoney(entry.cells[i])) {
      entry.faults[i] = std::string(kIoError) + " (" + MoneyRefusal(entry.cells[i]) + ")";
    }
  }
}

void ItemModel::CheckAll() {
  for (std::size_t i = 0; i < entries_.size(); ++i) Check(entries_[i], i);
}

void ItemModel::Rebuild() {
  rows_.clear();
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].record) rows_.push_back(i);
  }
}

int ItemModel::RowOfEntry(std::size_t at) const {
  return static_cast<int>(std::lower_bound(rows_.begin(), rows_.end(), at) - rows_.begin());
}

int ItemModel::FaultCount() const {
  int count = static_cast<int>(FileFaults().size());
  for (const std::size_t at : rows_) {
    const auto& faults = entries_[at].faults;
    count += static_cast<int>(std::count_if(faults.begin(), faults.end(),
                                            [](const std::string& f) { return !f.empty(); }));
  }
  return count;
}

std::vector<std::string> ItemModel::FileFaults() const {
  std::vector<std::string> faults;
  if (rows_.empty()) faults.emplace_back("The file holds no records.");
  if (rows_.size() > static_cast<std::size_t>(kDownloadCapacity)) {
    faults.push_back(TooManyRecords(static_cast<int>(rows_[kDownloadCapacity]) + 1).what());
  }
  return faults;
}

std::string ItemModel::CellFault(int row, int column) const {
  const Entry& entry = entries_[EntryOfRow(row)];
  return entry.faults[static_cast<std::size_t>(column)];
}

void ItemModel::ReplaceEntry(std::size_t at, const Entry& entry) {
  entries_[at] = entry;
  const int row = RowOfEntry(at);
  emit dataChanged(index(row, 0), index(row, columnCount() - 1));
  emit CountsChanged();
}

void ItemModel::InsertEntry(std::size_t at, const Entry& entry) {
  const int row = RowOfEntry(at);
  beginInsertRows({}, row, row);
  entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(at), entry);
  Rebuild();
  endInsertRows();
  // The lines after it have moved: their faults name their lines anew.
  CheckAll();
  emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
  emit CountsChanged();
}

void ItemModel::RemoveEntry(std::size_t at) {
  const int row = RowOfEntry(at);
  beginRemoveRows({}, row, row);
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(at));
  Rebuild();
  endRemoveRows();
  CheckAll();
  if (rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
  emit CountsChanged();
}

int64_t ItemModel::NumberOf(const Entry& entry) const {
  const auto column = static_cast<std::size_t>(numberColumn_);
  if (numberColumn_ < 0 || column >= entry.cells.size()) return -1;
  return TryStrToInt(entry.cells[column]).value_or(-1);
}

void ItemModel::AddRow(int row) {
  int64_t highest = 0;
  for (const std::size_t at : rows_) highest = std::max(highest, NumberOf(entries_[at]));
  std::vector<std::string> cells;
  for (const KindColumn& field : kind_.columns) {
    cells.emplace_back(field.recordNumber              ? std::to_string(highest + 1)
                       : field.type == FieldType::Text ? ""
                                                       : "0");
  }
  const std::size_t at = row < 0 ? entries_.size() : EntryOfRow(row) + 1;
  Entry entry = Parsed({Joined(cells, ""), file_.usualEnd}, true);
  Check(entry, at);
  edits_.push(new LineInsert(*this, at, std::move(entry), false, "Add Row"));
}

void ItemModel::DuplicateRow(int row) {
  const std::size_t at = EntryOfRow(row);
  Entry copy = entries_[at];
  if (copy.line.end.empty()) copy.line.end = file_.usualEnd;
  edits_.push(new LineInsert(*this, at + 1, std::move(copy), false, "Duplicate Row"));
}

void ItemModel::DeleteRows(std::vector<int> rows) {
  if (rows.empty()) return;
  std::sort(rows.rbegin(), rows.rend());
  auto* all = new QUndoCommand(rows.size() == 1 ? "Delete Row" : "Delete Rows");
  for (const int row : rows) {
    const std::size_t at = EntryOfRow(row);
    new LineInsert(*this, at, entries_[at], true, "", all);
  }
  edits_.push(all);
}

void ItemModel::SetHeldMarks(std::map<int64_t, QString> marks) {
  heldMarks_ = std::move(marks);
  if (rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

bool ItemModel::HeldMarked(int row) const {
  return heldMarks_.contains(NumberOf(entries_[EntryOfRow(row)]));
}

int ItemModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ItemModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(kind_.columns.size());
}

QString ItemModel::Shown(const std::string& bytes) const {
  return ShownText(utf8_ ? bytes : codePage_.ToUtf8(bytes));
}

std::string ItemModel::CellText(const Entry& entry, int column) const {
  const auto at = static_cast<std::size_t>(column);
  return at < entry.cells.size() ? entry.cells[at] : std::string();
}

QVariant ItemModel::CellData(const Entry& entry, int column, int role) const {
  const KindColumn& field = kind_.columns[static_cast<std::size_t>(column)];
  const std::string text = CellText(entry, column);
  const std::optional<int32_t> number =
      field.type == FieldType::Text ? std::nullopt : TryStrToInt(text);
  if (role == kSortRole) {
    if (number) return QVariant::fromValue<qlonglong>(*number);
    return Shown(text);
  }
  if (field.money && number) return ShownText(MoneyText(*number));
  return Shown(text);
}

QVariant ItemModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const Entry& entry = entries_[EntryOfRow(index.row())];
  const std::string& fault = entry.faults[static_cast<std::size_t>(index.column())];
  const bool marked = index.column() == numberColumn_ && heldMarks_.contains(NumberOf(entry));
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
    case kSortRole:
      return CellData(entry, index.column(), role);
    case Qt::ToolTipRole:
      if (!fault.empty()) return ShownText(fault);
      if (marked) return heldMarks_.at(NumberOf(entry));
      return {};
    case Qt::BackgroundRole:
      if (!fault.empty()) return QBrush(QColor(255, 214, 214));
      return {};
    case Qt::ForegroundRole:
      if (!fault.empty()) return QBrush(QColor(160, 0, 0));
      if (marked) return QBrush(QColor(0, 70, 170));
      return {};
    case Qt::FontRole:
      if (marked) {
        QFont bold;
        bold.setBold(true);
        return bold;
      }
      return {};
    case Qt::TextAlignmentRole: {
      const bool text =
          kind_.columns[static_cast<std::size_t>(index.column())].type == FieldType::Text;
      return QVariant::fromValue(Qt::AlignVCenter | (text ? Qt::AlignLeft : Qt::AlignRight));
    }
    default:
      return {};
  }
}

QVariant ItemModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return section + 1;
  return ShownText(kind_.columns[static_cast<std::size_t>(section)].name);
}

Qt::ItemFlags ItemModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

bool ItemModel::FileBytes(int column, const QString& value, std::string& bytes,
                          QString& why) const {
  const KindColumn& field = kind_.columns[static_cast<std::size_t>(column)];
  if (value.contains('\t') || value.contains('\n') || value.contains('\r')) {
    why = "A tab or a line end would split the record's line.";
    return false;
  }
  const std::string typed = CoreText(value);
  if (field.money) {
    // A price not typed as money stays as typed, and the cell says why.
    bytes = CentsOfMoney(typed).value_or(typed);
    return true;
  }
  if (utf8_ || field.type != FieldType::Text) {
    bytes = typed;
    return true;
  }
  TerminalText converted = codePage_.FromUtf8(typed);
  if (converted.missing) {
    why = ShownText("'" + converted.missing->character + "' is not in the file's character set " +
                    codePage_.Name() + ".");
    return false;
  }
  bytes = std::move(converted.bytes);
  return true;
}

bool ItemModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || role != Qt::EditRole) return false;
  std::string bytes;
  QString why;
  if (!FileBytes(index.column(), value.toString(), bytes, why)) {
    emit EditRefused(why);
    return false;
  }
  const std::size_t at = EntryOfRow(index.row());
  Entry after = entries_[at];
  const auto column = static_cast<std::size_t>(index.column());
  if (column < after.cells.size() && after.cells[column] == bytes) return true;
  if (after.cells.size() <= column) after.cells.resize(column + 1);
  after.cells[column] = bytes;
  after.line.text = Joined(after.cells, after.rest);
  Check(after, at);
  const KindColumn& field = kind_.columns[column];
  edits_.push(new LineEdit(
      *this, at, std::move(after),
      "Edit " + ShownText(field.name) + " of row " + QString::number(index.row() + 1)));
  return true;
}
