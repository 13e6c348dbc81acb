// The file-open dialog behind Ctrl+O. The window asks through a replaceable
// function, so tests can stand in for the operator.
#pragma once

#include <QString>
#include <functional>
#include <optional>

class QWidget;

// Returns the full path of the accepted file, or nothing when cancelled.
using OpenFileDialog = std::function<std::optional<QString>(QWidget* parent)>;

// The real dialog: filters "PLU" (*.plu) and "All" files, default extension "plu".
std::optional<QString> AskForDownloadFile(QWidget* parent);
