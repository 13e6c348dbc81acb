// Test support for the window: an offscreen Qt application, a started Orlent
// window over a fresh program folder and the fake link library, and an
// operator stand-in that answers modal boxes.
#pragma once

#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/fake_link.h"
#include "tests/support/manual_loop.h"
#include "tests/support/temp_folder.h"
#include "window/main_window.h"
#include "window/qt_event_loop.h"

// A settings file of three entries on port 20404, 127.0.0.2 and 127.0.0.3
// ticked, 127.0.0.4 not.
inline const std::string kLastOfThreeUnticked =
    "[Terminal]\r\nTerminalPort=20404\r\nTerminalNums=3\r\n"
    "TerminalIP_1=127.0.0.2\r\nTerminalChecked_1=1\r\n"
    "TerminalIP_2=127.0.0.3\r\nTerminalChecked_2=1\r\n"
    "TerminalIP_3=127.0.0.4\r\nTerminalChecked_3=0\r\n";

// The one QApplication of the test process, on the offscreen platform.
void EnsureApplication();

// Lets Qt deliver what is queued (posted calls, layout, focus changes).
void ProcessEvents();

// Watches for modal boxes while it lives, and answers each as an operator
// would: a message box with OK, any other dialog with Cancel.
class ModalAnswerer {
 public:
  struct Box {
    QString kind;  // class name, e.g. "QMessageBox"
    QString title;
    QString text;
    int buttons = 0;      // a message box's standard buttons (QMessageBox::StandardButtons)
    QStringList filters;  // file dialog name filters
    QString selectedFilter;
    QString defaultSuffix;
    QString directory;  // the folder the file dialog shows
  };

  ModalAnswerer();
  std::vector<Box> boxes;
  // Done to each box before it is recorded and answered, as an operator's
  // keys or clicks in it.
  std::function<void(QWidget* box)> beforeAnswer;
  // The texts of the boxes seen, in order.
  std::vector<std::string> Texts() const;

 private:
  void AnswerOpenBox();
  QTimer poll_;
};

// A window started on a fresh program folder, shown and active. `loop` picks
// virtual time (ManualLoop, the default) or the real Qt loop.
class WindowFixture {
 public:
  enum class Loop { Manual, Qt };

  // `settings` is written as Orlent.ini first, unless empty.
  explicit WindowFixture(const std::string& settings = "", Loop loop = Loop::Manual);
  ~WindowFixture();

  Program& Model() { return window->Model(); }
  const ControlPanel& Panel() { return window->Panel(); }
  // Puts the keyboard focus on `widget` and waits until it has it.
  static void Focus(QWidget* widget);
  // The log view's rows as shown.
  QStringList LogRows() const;

  TempFolder folder;
  FakeLink link;
  ManualLoop manualLoop;
  QtEventLoop qtLoop;
  std::unique_ptr<MainWindow> window;
};
