// The file-open dialog behind Ctrl+O. The window asks through a replaceable
// function, so tests can stand in for the operator.
#pragma once

#include <QString>
#include <functional>
#include <optional>

class QWidget;

// Shows the dialog in the folder of `current` (the download file the window
// would send now) and returns the full path of the accepted file, or nothing
// when cancelled.
using OpenFileDialog =
    std::function<std::optional<QString>(QWidget* parent, const QString& current)>;

// The real dialog: filters "Text" (*.txt, chosen at first), "PLU" (*.plu) and
// "All" files; a name typed without an extension takes the chosen filter's.
std::optional<QString> AskForDownloadFile(QWidget* parent, const QString& current);
