// The item editor: one download file's records as a table in a window of
// its own ("File › Items…"), sorted by any column, filtered by a search, each
// cell edited in place and checked as a send checks it, rows added,
// duplicated and deleted, every step undone and redone. Saving writes the
// file in one atomic step; a file with faults only after a warning that it
// cannot be sent. "Save and Send…" hands the saved file to the Send dialog.
#pragma once

#include <QMainWindow>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "window/item_model.h"

class QLabel;
class QLineEdit;
class QSortFilterProxyModel;
class QTableView;

class ItemEditor : public QMainWindow {
  Q_OBJECT

 public:
  // Asks for the Send dialog for the editor's kind and file.
  using SendFile = std::function<void(const RecordKind& kind, const std::string& path)>;
  // What the ticked terminals hold otherwise: record number to tool tip.
  using HeldMarks = std::function<std::map<int64_t, QString>(const std::string& path)>;

  ItemEditor(QWidget* parent, const RecordKind& kind, const CodePage& codePage, SendFile send,
             HeldMarks marks);

  // Shows the file at `path`; false with `error` set when it cannot be read.
  bool Open(const std::string& path, std::string& error);
  // Saves, after the warning when the file has faults; false when not saved.
  bool Save();
  void SaveAndSend();

  ItemModel& Model() { return *model_; }
  QTableView* Table;
  QLineEdit* SearchBox;
  QLabel* Counts;
  QSortFilterProxyModel* Sorted;
  QAction* SaveItem;
  QAction* SaveAndSendItem;
  QAction* UndoItem;
  QAction* RedoItem;
  QAction* AddRowItem;
  QAction* DuplicateRowItem;
  QAction* DeleteRowsItem;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMenus();
  void ShowCounts();
  void ShowTitle();
  // The selected rows of the model, in its order.
  std::vector<int> SelectedRows() const;
  int CurrentRow() const;

  std::unique_ptr<ItemModel> model_;
  SendFile send_;
  HeldMarks marks_;
};
