#include "window/file_dialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>
#include <array>

namespace {

struct FileFilter {
  const char* name;
  const char* suffix;  // added to a name typed without one
};

// The download files are text files, so their filter comes first and is the
// one chosen when the dialog opens. "All" means every file: "*.*" would hide
// the names without a dot, and no suffix is added to a typed name.
constexpr std::array<FileFilter, 3> kFilters{{
    {"Text (*.txt)", "txt"},
    {"PLU (*.plu)", "plu"},
    {"All (*)", ""},
}};

QString SuffixOf(const QString& filter) {
  for (const FileFilter& f : kFilters) {
    if (filter == QLatin1String(f.name)) return QString::fromLatin1(f.suffix);
  }
  return {};
}

}  // namespace

std::optional<QString> AskForDownloadFile(QWidget* parent, const QString& current) {
  QFileDialog dialog(parent);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  QStringList names;
  for (const FileFilter& f : kFilters) names << QString::fromLatin1(f.name);
  dialog.setNameFilters(names);
  dialog.selectNameFilter(names.front());
  dialog.setDefaultSuffix(SuffixOf(names.front()));
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                   [&dialog](const QString& filter) { dialog.setDefaultSuffix(SuffixOf(filter)); });
  dialog.setDirectory(QFileInfo(current).absolutePath());
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front();
}
