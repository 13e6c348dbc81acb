#include "window/import_dialog.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <filesystem>

#include "reports/report_cells.h"
#include "settings/atomic_file.h"
#include "text/str_to_int.h"
#include "window/local_text.h"

namespace {

QTableView* TableOf(QStandardItemModel* model, QWidget* parent) {
  auto* view = new QTableView(parent);
  view->setModel(model);
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->verticalHeader()->hide();
  view->horizontalHeader()->setStretchLastSection(true);
  view->setWordWrap(false);
  return view;
}

// Each cell shows its text whole, also as its tool tip where the column is narrower.
QStandardItem* Cell(const std::string& text) {
  auto* item = new QStandardItem(ShownText(text));
  item->setToolTip(item->text());
  return item;
}

QList<QStandardItem*> Row(const std::vector<std::string>& texts) {
  QList<QStandardItem*> row;
  for (const std::string& text : texts) row.append(Cell(text));
  return row;
}

// A line as it will be written, its prices shown as money as the item editor
// shows them (the file keeps whole cents).
QList<QStandardItem*> PreviewRow(const RecordKind& kind, const std::vector<std::string>& values) {
  QList<QStandardItem*> row;
  for (std::size_t i = 0; i < values.size(); ++i) {
    const std::optional<int32_t> cents =
        i < kind.columns.size() && kind.columns[i].money ? TryStrToInt(values[i]) : std::nullopt;
    row.append(Cell(cents ? MoneyText(*cents) : values[i]));
  }
  return row;
}

void FitColumns(QTableView& view) {
  view.resizeColumnsToContents();
  view.resizeRowsToContents();
}

}  // namespace

std::optional<QString> AskForExportFile(QWidget* parent, const QString& current) {
  const QString path = QFileDialog::getOpenFileName(parent, "Import", current,
                                                    "Exports (*.csv *.txt);;All files (*)");
  if (path.isEmpty()) return std::nullopt;
  return path;
}

ImportDialog::ImportDialog(QWidget* parent, std::string programFolder, const CodePage& terminalSet,
                           OpenFileDialog browse)
    : QDialog(parent),
      programFolder_(std::move(programFolder)),
      terminalSet_(terminalSet),
      browse_(std::move(browse)),
      preview_(new QStandardItemModel(this)),
      refused_(new QStandardItemModel(this)) {
  setWindowTitle("Import");
  BuildLayout();
  const FileContent profiles =
      ReadWholeFile((std::filesystem::path(programFolder_) / kImportProfilesFile).string());
  for (const std::string& name : ImportProfileNames(profiles.bytes))
    ProfileBox->addItem(ShownText(name));
  connect(BrowseButton, &QPushButton::clicked, this, &ImportDialog::Browse);
  connect(SourceBox, &QLineEdit::editingFinished, this, &ImportDialog::ShowPreview);
  connect(ProfileBox, &QComboBox::currentIndexChanged, this, &ImportDialog::ProfileChosen);
  connect(SkipBadBox, &QCheckBox::toggled, this, &ImportDialog::ShowPreview);
  connect(Buttons, &QDialogButtonBox::accepted, this, &ImportDialog::Import);
  connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  ProfileChosen();
}

void ImportDialog::BuildLayout() {
  SourceBox = new QLineEdit(this);
  BrowseButton = new QPushButton("&Browse…", this);
  ProfileBox = new QComboBox(this);
  OutBox = new QLineEdit(this);
  SkipBadBox =
      new QCheckBox("&Skip the refused lines (listed in a file beside the download file)", this);
  PreviewView = TableOf(preview_, this);
  RefusedView = TableOf(refused_, this);
  Note = new QLabel(this);
  Note->setWordWrap(true);
  Buttons = new QDialogButtonBox(this);
  ImportButton = Buttons->addButton("&Import", QDialogButtonBox::AcceptRole);
  Buttons->addButton(QDialogButtonBox::Cancel);

  auto* source = new QHBoxLayout;
  source->addWidget(SourceBox, 1);
  source->addWidget(BrowseButton);
  auto* form = new QFormLayout;
  form->addRow("&Export:", source);
  form->addRow("&Profile:", ProfileBox);
  form->addRow("&Write to:", OutBox);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(SkipBadBox);
  layout->addWidget(new QLabel("The first lines as they will be written:", this));
  layout->addWidget(PreviewView, 2);
  layout->addWidget(new QLabel("The lines that cannot be taken:", this));
  layout->addWidget(RefusedView, 1);
  layout->addWidget(Note);
  layout->addWidget(Buttons);
  resize(760, 560);
}

void ImportDialog::Browse() {
  const std::optional<QString> path = browse_(this, SourceBox->text());
  if (!path) return;
  SourceBox->setText(*path);
  ShowPreview();
}

void ImportDialog::ProfileChosen() {
  profile_.reset();
  const std::string path = (std::filesystem::path(programFolder_) / kImportProfilesFile).string();
  const ImportProfileRead read = ReadImportProfile(path, CoreText(ProfileBox->currentText()));
  if (read.profile) {
    profile_ = read.profile;
    OutBox->setText(
        ShownText((std::filesystem::path(programFolder_) / profile_->kind->downloadFile).string()));
  }
  ShowPreview();
  if (!read.profile) Note->setText(ShownText(read.error));
}

void ImportDialog::ShowPreview() {
  taken_ = ShopImport{};
  if (profile_ && !SourceBox->text().isEmpty()) {
    const FileContent source = ReadWholeFile(CoreText(SourceBox->text()));
    if (source.status == ReadStatus::Ok) {
      taken_ = ImportShopExport(*profile_, source.bytes, terminalSet_);
    } else {
      taken_.error = "the export " + CoreText(SourceBox->text()) + " cannot be read";
    }
  }
  FillPreview();
  FillRefused();
  const bool writable = !taken_.lines.empty() && taken_.error.empty() &&
                        (taken_.refused.empty() || SkipBadBox->isChecked());
  ImportButton->setEnabled(writable);
  if (!taken_.error.empty()) {
    Note->setText(ShownText(taken_.error));
  } else if (profile_ && !SourceBox->text().isEmpty()) {
    Note->setText(QString("%1 lines can be taken, %2 are refused%3")
                      .arg(taken_.lines.size())
                      .arg(taken_.refused.size())
                      .arg(taken_.refused.empty() || SkipBadBox->isChecked()
                               ? ""
                               : ": nothing is written unless the refused lines are skipped"));
  } else {
    Note->setText(profile_ ? "Choose the export." : "Choose a profile (Import-Profiles.ini).");
  }
}

void ImportDialog::FillPreview() {
  preview_->clear();
  if (!profile_) return;
  QStringList headers;
  for (const KindColumn& column : profile_->kind->columns) headers << ShownText(column.name);
  preview_->setHorizontalHeaderLabels(headers);
  const std::size_t shown = std::min<std::size_t>(taken_.lines.size(), kPreviewLines);
  for (std::size_t i = 0; i < shown; ++i)
    preview_->appendRow(PreviewRow(*profile_->kind, taken_.lines[i].values));
  FitColumns(*PreviewView);
}

void ImportDialog::FillRefused() {
  refused_->clear();
  refused_->setHorizontalHeaderLabels({"Line", "Reason", "In the export"});
  for (const RefusedLine& line : taken_.refused)
    refused_->appendRow(Row({std::to_string(line.line), line.reason, line.text}));
  FitColumns(*RefusedView);
}

void ImportDialog::Import() {
  if (!profile_) return;
  const ImportWritten written =
      WriteImport(taken_, *profile_, CoreText(SourceBox->text()), CoreText(OutBox->text()),
                  terminalSet_, SkipBadBox->isChecked());
  if (!written.written) {
    Note->setText(ShownText(written.error));
    return;
  }
  written_ = written;
  accept();
}
