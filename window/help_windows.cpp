#include "window/help_windows.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "model/program.h"
#include "window/local_text.h"

HelpMenu BuildHelpMenu(QMenuBar* bar) {
  QMenu* help = bar->addMenu("&Help");
  help->setObjectName("HelpMenu");
  HelpMenu m{};
  m.UserGuideItem = help->addAction("&User Guide");
  m.UserGuideItem->setObjectName("UserGuideItem");
  m.UserGuideItem->setShortcut(QKeySequence(Qt::Key_F1));
  m.AboutItem = help->addAction("&About Orlent");
  m.AboutItem->setObjectName("AboutItem");
  return m;
}

QString UserGuidePath(const std::string& executablePath) {
  const QString folder = QFileInfo(ShownText(executablePath)).absolutePath();
  const QString places[] = {folder + "/README.md", folder + "/../../share/doc/orlent/README.md"};
  for (const QString& place : places) {
    if (QFileInfo::exists(place)) return QFileInfo(place).absoluteFilePath();
  }
  return places[0];
}

QDialog* NewUserGuideWindow(QWidget* parent, const QString& path) {
  auto* window = new QDialog(parent);
  window->setObjectName("UserGuideWindow");
  window->setWindowTitle("Orlent User Guide");
  auto* browser = new QTextBrowser(window);
  browser->setObjectName("UserGuideText");
  browser->setOpenLinks(false);  // nothing is fetched; the guide is all there is
  QFile file(path);
  if (file.open(QIODevice::ReadOnly)) {
    browser->setMarkdown(QString::fromUtf8(file.readAll()));
  } else {
    browser->setPlainText("The user guide cannot be read: " + path + "\n" + file.errorString());
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, window);
  QObject::connect(buttons, &QDialogButtonBox::rejected, window, &QDialog::close);
  auto* layout = new QVBoxLayout(window);
  layout->addWidget(browser, 1);
  layout->addWidget(buttons);
  window->resize(760, 640);
  return window;
}

QString AboutText(const std::string& libraryVersionLine, const std::string& programFolder) {
  return QString("%1 (Orlent %2)\nLink library: %3\nProgram folder: %4")
      .arg(kWindowCaption, ORLENT_VERSION, ShownText(libraryVersionLine), ShownText(programFolder));
}
