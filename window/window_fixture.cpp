#include "window/window_fixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QListView>
#include <QMessageBox>
#include <QTest>
#include <cstdlib>
#include <stdexcept>

void EnsureApplication() {
  if (QApplication::instance()) return;
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static int argc = 1;
  static char name[] = "window_test";
  static char* argv[] = {name, nullptr};
  // Lives for the whole test process: Qt allows one application object.
  static QApplication* app = new QApplication(argc, argv);
  app->setQuitOnLastWindowClosed(false);
}

void ProcessEvents() {
  QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

ModalAnswerer::ModalAnswerer() {
  poll_.setInterval(5);
  QObject::connect(&poll_, &QTimer::timeout, [this] { AnswerOpenBox(); });
  poll_.start();
}

std::vector<std::string> ModalAnswerer::Texts() const {
  std::vector<std::string> texts;
  for (const Box& box : boxes) texts.push_back(box.text.toStdString());
  return texts;
}

void ModalAnswerer::AnswerOpenBox() {
  QWidget* modal = QApplication::activeModalWidget();
  if (!modal) return;
  if (beforeAnswer) beforeAnswer(modal);
  Box box;
  box.kind = QString::fromLatin1(modal->metaObject()->className());
  box.title = modal->windowTitle();
  if (auto* message = qobject_cast<QMessageBox*>(modal)) {
    box.text = message->text();
    box.buttons = message->standardButtons().toInt();
    boxes.push_back(box);
    QAbstractButton* ok = message->button(QMessageBox::Ok);
    if (ok)
      ok->click();
    else
      message->reject();
    return;
  }
  if (auto* files = qobject_cast<QFileDialog*>(modal)) {
    box.filters = files->nameFilters();
    box.selectedFilter = files->selectedNameFilter();
    box.defaultSuffix = files->defaultSuffix();
    box.directory = files->directory().absolutePath();
  }
  boxes.push_back(box);
  if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
}

WindowFixture::WindowFixture(const std::string& settings, Loop loop) {
  EnsureApplication();
  if (!settings.empty()) folder.Write("Orlent.ini", settings);
  EventLoop& chosen = loop == Loop::Qt ? static_cast<EventLoop&>(qtLoop) : manualLoop;
  window = std::make_unique<MainWindow>(chosen, link.Table(), folder.File("orlent"));
  qtLoop.SetFailureHandler([this](const std::string& text) { window->ShowFailure(text); });
  window->Start();
  window->show();
  window->activateWindow();
  if (!QTest::qWaitForWindowActive(window.get())) {
    throw std::runtime_error("the window did not become active");
  }
}

WindowFixture::~WindowFixture() {
  window.reset();
  ProcessEvents();  // lets Qt finish deleting what the window left queued
}

void WindowFixture::Focus(QWidget* widget) {
  widget->setFocus(Qt::OtherFocusReason);
  if (!QTest::qWaitFor([widget] { return widget->hasFocus(); }, 1000)) {
    throw std::runtime_error("no focus on " + widget->objectName().toStdString());
  }
}

QStringList WindowFixture::LogRows() const {
  QStringList rows;
  const QAbstractItemModel* model = window->ActivityLog()->model();
  for (int row = 0; row < model->rowCount(); ++row) {
    rows << model->index(row, 0).data().toString();
  }
  return rows;
}
