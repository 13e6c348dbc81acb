#include "window/file_dialog.h"

#include <QFileDialog>

std::optional<QString> AskForDownloadFile(QWidget* parent) {
  QFileDialog dialog(parent);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  // "All" means every file: "*.*" would hide the names without a dot.
  dialog.setNameFilters({"PLU (*.plu)", "All (*)"});
  dialog.setDefaultSuffix("plu");
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front();
}
