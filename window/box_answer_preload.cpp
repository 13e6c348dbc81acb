// Loaded into the real orlent program by a test (LD_PRELOAD): as soon as the
// program makes its QApplication, a timer watches for modal message boxes,
// writes each one's title and text to standard error as
// "box: TITLE: TEXT", and presses its OK button, as an operator would.
#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>

namespace {

void AnswerOpenBox() {
  auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
  if (!box) return;
  std::fprintf(stderr, "box: %s: %s\n", qPrintable(box->windowTitle()), qPrintable(box->text()));
  std::fflush(stderr);
  if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
    ok->click();
  } else {
    box->reject();
  }
}

void WatchForBoxes() {
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return;  // no window
  auto* timer = new QTimer(QCoreApplication::instance());
  QObject::connect(timer, &QTimer::timeout, &AnswerOpenBox);
  timer->start(10);
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(WatchForBoxes)
