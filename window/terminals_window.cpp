#include "window/terminals_window.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>
#include <stdexcept>

#include "model/program.h"
#include "settings/settings_file.h"
#include "settings/terminal_names.h"
#include "window/local_text.h"
#include "window/terminals_table.h"

TerminalsWindow::TerminalsWindow(QWidget* parent, Program& program)
    : QWidget(parent, Qt::Window), program_(program) {
  setObjectName("TerminalsWindow");
  setWindowTitle("Terminals");
  setAttribute(Qt::WA_DeleteOnClose);
  terminals_ = new TerminalsTable(
      TerminalRows(program_),
      [this](const std::string& address, const std::string& name) { return Rename(address, name); },
      this);
  shown_ = new QSortFilterProxyModel(this);
  shown_->setSourceModel(terminals_);
  shown_->setFilterKeyColumn(-1);  // a match in any column
  shown_->setFilterCaseSensitivity(Qt::CaseInsensitive);
  filter_ = new QLineEdit(this);
  filter_->setObjectName("TerminalsFilter");
  filter_->setPlaceholderText("Filter");
  filter_->setClearButtonEnabled(true);
  connect(filter_, &QLineEdit::textChanged, shown_, &QSortFilterProxyModel::setFilterFixedString);
  table_ = new QTableView(this);
  table_->setModel(shown_);
  table_->setSortingEnabled(true);
  table_->sortByColumn(-1, Qt::AscendingOrder);  // list order until a header is clicked
  table_->verticalHeader()->hide();
  table_->horizontalHeader()->setStretchLastSection(true);
  // A state's whole reason and a last send's time, file and outcome, on one line.
  table_->setWordWrap(false);
  table_->resizeColumnsToContents();
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  // A double click is the history's; the name is edited with F2 or a click on a selected cell.
  table_->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
  connect(table_, &QTableView::doubleClicked, this,
          [this](const QModelIndex& index) { ShowHistory(index.row()); });
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(buttons, &QDialogButtonBox::rejected, this, &QWidget::close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(filter_);
  layout->addWidget(table_);
  layout->addWidget(buttons);
  resize(1100, 360);
}

void TerminalsWindow::Refresh() {
  terminals_->Replace(TerminalRows(program_));
}

void TerminalsWindow::ShowHistory(int row) {
  const QModelIndex shown = shown_->index(row, 0);
  if (!shown.isValid()) return;
  const TerminalRow& terminal = terminals_->Row(shown_->mapToSource(shown).row());
  const std::string title =
      terminal.name.empty() ? terminal.address : terminal.name + " (" + terminal.address + ")";
  auto* dialog = new TerminalHistoryDialog(
      this, title, TerminalHistory(program_.ProgramFolder() + "/logs", terminal.address));
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->show();
}

bool TerminalsWindow::Rename(const std::string& address, const std::string& name) {
  SettingsFile* settings = program_.Settings();
  try {
    if (!settings) throw std::runtime_error("The settings file is not open");
    WriteTerminalName(*settings, address, name);
    return true;
  } catch (const std::exception& failure) {
    QMessageBox::warning(this, "Orlent", ShownText(failure.what()));
    return false;
  }
}

TerminalHistoryDialog::TerminalHistoryDialog(QWidget* parent, const std::string& title,
                                             const std::vector<JournalLine>& history)
    : QDialog(parent) {
  setObjectName("TerminalHistory");
  setWindowTitle(ShownText("History of " + title));
  lines_ = new QPlainTextEdit(this);
  lines_->setReadOnly(true);
  lines_->setLineWrapMode(QPlainTextEdit::NoWrap);
  QStringList text;
  for (const JournalLine& line : history) text << ShownText(line.time + "  " + line.text);
  lines_->setPlainText(history.empty() ? "No lines of this terminal in the journals."
                                       : text.join('\n'));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lines_);
  layout->addWidget(buttons);
  resize(640, 420);
}
