// "File › Import…": a shop system's export made a download file through an
// import profile. The operator chooses the export and the profile (the
// sections of Import-Profiles.ini in the program folder); before anything
// is written the dialog shows the first lines as they will be written and
// every line that cannot be taken, with its line in the export and the
// reason. Import writes the file (not while a line is refused, unless "Skip
// the refused lines" is ticked: then they go to a file beside it).
#pragma once

#include <QDialog>
#include <optional>
#include <string>

#include "import/import_file.h"
#include "window/file_dialog.h"

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStandardItemModel;
class QTableView;

class ImportDialog : public QDialog {
  Q_OBJECT

 public:
  // The most lines the preview shows; every refused line is listed.
  static constexpr int kPreviewLines = 100;

  // `browse` asks for the export when Browse… is pressed.
  ImportDialog(QWidget* parent, std::string programFolder, const CodePage& terminalSet,
               OpenFileDialog browse);

  // What Import wrote; nothing before.
  const std::optional<ImportWritten>& Written() const { return written_; }

  QLineEdit* SourceBox;
  QPushButton* BrowseButton;
  QComboBox* ProfileBox;
  QLineEdit* OutBox;  // the download file written; the profile kind's at first
  QCheckBox* SkipBadBox;
  QTableView* PreviewView;
  QTableView* RefusedView;
  QLabel* Note;  // how many lines are taken and refused, or why none can be
  QDialogButtonBox* Buttons;
  QPushButton* ImportButton;  // offered while what is shown can be written

 private:
  void BuildLayout();
  void Browse();
  void ProfileChosen();
  // Reads the export again through the chosen profile and shows the result.
  void ShowPreview();
  void FillPreview();
  void FillRefused();
  void Import();

  std::string programFolder_;
  const CodePage& terminalSet_;
  OpenFileDialog browse_;
  std::optional<ImportProfile> profile_;
  ShopImport taken_;
  QStandardItemModel* preview_;
  QStandardItemModel* refused_;
  std::optional<ImportWritten> written_;
};

// The real file dialog for an export: "Exports" (*.csv *.txt), then all files.
std::optional<QString> AskForExportFile(QWidget* parent, const QString& current);
