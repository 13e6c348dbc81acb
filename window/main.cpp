// The orlent window program: binds the link library from the program folder,
// builds the main window on the Qt event loop, and runs it until it closes.
// "--version" prints the caption and the link library's version instead.
// "--folder DIR" works in DIR, as orlent-cli's option does.
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QMessageBox>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>

#include "console/console_view.h"
#include "link/link_library.h"
#include "model/program_folder.h"
#include "process/executable_path.h"
#include "window/local_text.h"
#include "window/main_window.h"
#include "window/qt_event_loop.h"

namespace {

bool AskedForVersion(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--version") == 0) return true;
  }
  return false;
}

// The DIR of "--folder DIR" or "--folder=DIR", when given.
std::optional<std::string> AskedFolder(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--folder") == 0 && i + 1 < argc) return argv[i + 1];
    if (std::strncmp(argv[i], "--folder=", 9) == 0) return argv[i] + 9;
  }
  return std::nullopt;
}

// The window's start in a folder named on the command line, used as given: it
// becomes the current directory (the upload files land there), and what the
// window writes is writable by the folder's group, so that a folder shared
// with the nightly service (/var/lib/orlent, group orlent) stays shared.
std::string FolderExecutable(const std::string& folder, const std::string& executable) {
  umask(umask(0) & ~S_IWGRP);
  std::error_code unchanged;  // a folder that is not there is reported where it is used
  const std::filesystem::path absolute = std::filesystem::absolute(folder, unchanged);
  std::filesystem::current_path(folder, unchanged);
  return (absolute / std::filesystem::path(executable).filename()).string();
}

int PrintVersion(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const std::string executable = RunningExecutablePath();
  std::string error;
  const std::optional<LinkLibrary> link = BindProgramLinkLibrary("", error);
  if (!link) {
    std::cerr << error << '\n';
    return 1;
  }
  QtEventLoop loop;
  // No window is shown: anything the core would put in a box goes to stderr.
  ConsoleView view(nullptr, stderr, false, ConsoleView::FailureLine::Bare);
  Program program(loop, view, *link, executable);
  program.HandleEvent([&program] { program.Start(); });
  std::cout << kWindowCaption << '\n' << program.VersionLine() << '\n';
  return 0;
}

int RunWindow(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Orlent");
  const std::string executable = RunningExecutablePath();
  std::string error;
  const std::optional<LinkLibrary> link = BindProgramLinkLibrary("", error);
  if (!link) {
    std::cerr << error << '\n';
    QMessageBox::critical(nullptr, "Orlent", ShownText(error));
    return 1;
  }
  QtEventLoop loop;
  // An installed window works in the per-user folder, which also takes its upload files.
  const std::optional<std::string> folder = AskedFolder(argc, argv);
  MainWindow window(loop, *link,
                    folder ? FolderExecutable(*folder, executable) : WindowExecutable(executable));
  loop.SetFailureHandler([&window](const std::string& text) { window.ShowFailure(text); });
  // One window per program folder: a second one would undo, at its close,
  // what the first saved.
  if (!window.Start(FolderRole::Window)) return 1;
  window.show();
  return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return AskedForVersion(argc, argv) ? PrintVersion(argc, argv) : RunWindow(argc, argv);
  } catch (const std::exception& failure) {
    std::cerr << "orlent: " << failure.what() << '\n';
    return 1;
  }
}
