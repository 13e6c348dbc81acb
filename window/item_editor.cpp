#include "window/item_editor.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QSortFilterProxyModel>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>

#include "window/local_text.h"

ItemEditor::ItemEditor(QWidget* parent, const RecordKind& kind, const CodePage& codePage,
                       SendFile send, HeldMarks marks)
    : QMainWindow(parent),
      model_(std::make_unique<ItemModel>(kind, codePage)),
      send_(std::move(send)),
      marks_(std::move(marks)) {
  setObjectName("ItemEditor");
  setAttribute(Qt::WA_DeleteOnClose);
  Sorted = new QSortFilterProxyModel(this);
  Sorted->setSourceModel(model_.get());
  Sorted->setSortRole(ItemModel::kSortRole);
  Sorted->setFilterKeyColumn(-1);
  Sorted->setFilterCaseSensitivity(Qt::CaseInsensitive);
  SearchBox = new QLineEdit(this);
  SearchBox->setObjectName("SearchBox");
  SearchBox->setPlaceholderText("Search");
  SearchBox->setClearButtonEnabled(true);
  Table = new QTableView(this);
  Table->setObjectName("ItemTable");
  Table->setModel(Sorted);
  Table->setSortingEnabled(true);
  Table->sortByColumn(-1, Qt::AscendingOrder);  // file order until a header is clicked
  Table->setSelectionBehavior(QAbstractItemView::SelectRows);
  Table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  Table->verticalHeader()->hide();
  auto* central = new QWidget(this);
  auto* column = new QVBoxLayout(central);
  column->addWidget(SearchBox);
  column->addWidget(Table, 1);
  setCentralWidget(central);
  Counts = new QLabel(statusBar());
  Counts->setObjectName("Counts");
  statusBar()->addWidget(Counts, 1);
  BuildMenus();
  resize(760, 480);

  connect(SearchBox, &QLineEdit::textChanged, Sorted, &QSortFilterProxyModel::setFilterFixedString);
  connect(model_.get(), &ItemModel::CountsChanged, this, &ItemEditor::ShowCounts);
  connect(model_.get(), &ItemModel::EditRefused, this,
          [this](const QString& why) { statusBar()->showMessage(why, 10000); });
  connect(&model_->Edits(), &QUndoStack::cleanChanged, this, &ItemEditor::ShowTitle);
}

void ItemEditor::BuildMenus() {
  QMenu* file = menuBar()->addMenu("&File");
  SaveItem = file->addAction("&Save", QKeySequence::Save, this, [this] { Save(); });
  SaveAndSendItem = file->addAction("Save and Se&nd\u2026", this, &ItemEditor::SaveAndSend);
  file->addSeparator();
  file->addAction("&Close", QKeySequence::Close, this, &QWidget::close);
  QMenu* edit = menuBar()->addMenu("&Edit");
  UndoItem = model_->Edits().createUndoAction(this, "&Undo");
  UndoItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
  RedoItem = model_->Edits().createRedoAction(this, "&Redo");
  RedoItem->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
  edit->addAction(UndoItem);
  edit->addAction(RedoItem);
  edit->addSeparator();
  AddRowItem = edit->addAction("&Add Row", QKeySequence(Qt::CTRL | Qt::Key_N), this,
                               [this] { model_->AddRow(CurrentRow()); });
  DuplicateRowItem =
      edit->addAction("D&uplicate Row", QKeySequence(Qt::CTRL | Qt::Key_D), this, [this] {
        if (CurrentRow() >= 0) model_->DuplicateRow(CurrentRow());
      });
  DeleteRowsItem = edit->addAction("&Delete Rows", QKeySequence::Delete, this,
                                   [this] { model_->DeleteRows(SelectedRows()); });
  for (QAction* rows : {AddRowItem, DuplicateRowItem, DeleteRowsItem}) {
    rows->setEnabled(model_->RowsCanChange());
    rows->setShortcutContext(Qt::WindowShortcut);
  }
}

bool ItemEditor::Open(const std::string& path, std::string& error) {
  if (!model_->Open(path, error)) return false;
  model_->SetHeldMarks(marks_(path));
  Table->resizeColumnsToContents();
  ShowTitle();
  return true;
}

int ItemEditor::CurrentRow() const {
  const QModelIndex current = Table->currentIndex();
  return current.isValid() ? Sorted->mapToSource(current).row() : -1;
}

std::vector<int> ItemEditor::SelectedRows() const {
  std::vector<int> rows;
  for (const QModelIndex& index : Table->selectionModel()->selectedRows()) {
    rows.push_back(Sorted->mapToSource(index).row());
  }
  if (rows.empty() && CurrentRow() >= 0) rows.push_back(CurrentRow());
  return rows;
}

void ItemEditor::ShowCounts() {
  const int rows = model_->rowCount();
  const int faults = model_->FaultCount();
  QString text = QString::number(rows) + (rows == 1 ? " row, " : " rows, ") +
                 QString::number(faults) + (faults == 1 ? " fault" : " faults");
  for (const std::string& fault : model_->FileFaults()) text += " \u2013 " + ShownText(fault);
  Counts->setText(text);
}

void ItemEditor::ShowTitle() {
  const std::string name = std::filesystem::path(model_->Path()).filename().string();
  setWindowTitle(QString("Items \u2013 ") + ShownText(name) +
                 (model_->Edits().isClean() ? "" : " *"));
}

bool ItemEditor::Save() {
  if (const int faults = model_->FaultCount(); faults > 0) {
    const auto answer = QMessageBox::warning(
        this, "Items",
        QString::number(faults) + (faults == 1 ? " fault" : " faults") +
            " in the file: a send refuses it until they are mended. Save it all the same?",
        QMessageBox::Save | QMessageBox::Cancel, QMessageBox::Cancel);
    if (answer != QMessageBox::Save) return false;
  }
  std::string error;
  if (!model_->Save(error)) {
    QMessageBox::critical(this, "Items", ShownText(error));
    return false;
  }
  model_->SetHeldMarks(marks_(model_->Path()));
  statusBar()->showMessage("Saved.", 5000);
  return true;
}

void ItemEditor::SaveAndSend() {
  if (Save()) send_(model_->Kind(), model_->Path());
}

void ItemEditor::closeEvent(QCloseEvent* event) {
  if (!model_->Edits().isClean()) {
    const auto answer = QMessageBox::question(
        this, "Items", "The file has changes that are not saved. Save them?",
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Cancel);
    if (answer == QMessageBox::Cancel || (answer == QMessageBox::Save && !Save())) {
      return event->ignore();
    }
  }
  event->accept();
}
