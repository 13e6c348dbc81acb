// The window's send cycle, unattended: builds the main window over a program
// folder (its Orlent.ini, ticked terminals and PLU-Down-Default.txt), presses
// "&Send Data" and runs the Qt loop until the button reads "&Send Data" again,
// then closes the window. bench/run times the process under the offscreen
// platform against `orlent-cli send` on the same cycle.
//   window_send_bench FOLDER TERMINALS
// Prints "completed N" and fails unless every terminal completed its send.
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>

#include "link/link_library.h"
#include "window/main_window.h"
#include "window/qt_event_loop.h"

namespace {

constexpr const char* kComplete = "- Complete Send Plu (Total : 3334)";
constexpr int kHangGuardMs = 600000;

int Completed(const MainWindow& window) {
  int completed = 0;
  for (const std::string& line : window.Log().Lines()) completed += line == kComplete;
  return completed;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: window_send_bench FOLDER TERMINALS\n";
    return 2;
  }
  const std::string folder = argv[1];
  const int terminals = std::atoi(argv[2]);
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  std::string error;
  const std::optional<LinkLibrary> link = BindLinkLibrary(TERMLINK_PATH, error);
  if (!link) {
    std::cerr << error << '\n';
    return 1;
  }
  QtEventLoop loop;
  loop.SetFailureHandler([](const std::string& text) { std::cerr << text << '\n'; });
  MainWindow window(loop, *link, folder + "/orlent");
  if (!window.Start(FolderRole::Window)) return 1;
  window.show();
  QPushButton* send = window.Panel().SendButton;
  const QString idle = send->text();
  QTimer::singleShot(0, send, &QPushButton::click);
  // The button reads "&Stop" while the cycle runs.
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (send->text() == idle) QApplication::quit();
  });
  watch.start(20);
  QTimer::singleShot(kHangGuardMs, [] { QApplication::exit(1); });
  const int exitCode = QApplication::exec();
  const int completed = Completed(window);
  std::cout << "completed " << completed << '\n'
            << window.CycleTotals()->text().toStdString() << '\n';
  window.close();
  return exitCode == 0 && completed == terminals ? 0 : 1;
}
