// The Help menu's windows: the user guide shipped with the program (its
// README, rendered from Markdown in a text browser that opens no link of the
// network) and the About box with the program's version, the link library's
// version and the folder in use.
#pragma once

#include <QString>
#include <string>

class QDialog;
class QMenuBar;
class QAction;
class QWidget;

struct HelpMenu {
  QAction* UserGuideItem;  // F1
  QAction* AboutItem;
};

HelpMenu BuildHelpMenu(QMenuBar* bar);

// Where the user guide of the program at `executablePath` is: beside it (a
// program folder, the build tree), else in the documentation folder of the
// system layout (PREFIX/lib/orlent/orlent → PREFIX/share/doc/orlent). The
// first of them; beside the program when neither exists.
QString UserGuidePath(const std::string& executablePath);

// A window of its own showing the guide at `path`, or naming the file when
// it cannot be read.
QDialog* NewUserGuideWindow(QWidget* parent, const QString& path);

// The About box's text.
QString AboutText(const std::string& libraryVersionLine, const std::string& programFolder);
