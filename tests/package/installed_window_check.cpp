// The window of an unpacked package, started as its program starts it, run by
// package_test.sh as an unprivileged user: the terminal list it edits and the
// upload file it makes land in the user's folder, not in the program folder.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "link/link_library.h"
#include "model/program_folder.h"
#include "window/main_window.h"
#include "window/qt_event_loop.h"
#include "window/window_fixture.h"

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

TEST(InstalledWindow, KeepsItsEditsAndUploadFilesInThePerUserFolder) {
  const char* installed = std::getenv("ORLENT_INSTALLED");
  ASSERT_TRUE(installed) << "ORLENT_INSTALLED names the unpacked program folder";
  EnsureApplication();
  const std::string folder = PerUserFolder();
  const std::string executable = WindowExecutable(std::string(installed) + "/orlent");
  EXPECT_EQ(executable, folder + "/orlent");
  EXPECT_EQ(fs::current_path(), fs::path(folder));
  std::string error;
  const auto link = BindLinkLibrary(std::string(installed) + "/libtermlink.so", error);
  ASSERT_TRUE(link) << error;

  ModalAnswerer operatorStandIn;
  {
    QtEventLoop loop;
    MainWindow window(loop, *link, executable);
    window.Start();
    window.show();
    const ControlPanel& ui = window.Panel();
    ASSERT_EQ(ui.TerminalList->count(), 1) << "the entry orlent-cli added";
    WindowFixture::Focus(ui.AddressBox);
    QTest::keyClicks(ui.AddressBox, "127.0.0.3");
    QTest::mouseClick(ui.AddButton, Qt::LeftButton);
    ASSERT_EQ(ui.TerminalList->count(), 2);
    ui.TerminalList->item(1)->setCheckState(Qt::Checked);  // saved at close
    window.Actions().UploadAction->trigger();              // makes the upload file
    window.close();
  }
  for (const auto& box : operatorStandIn.boxes) ADD_FAILURE() << box.text.toStdString();
  const std::string settings = ReadFile(folder + "/Orlent.ini");
  EXPECT_NE(settings.find("TerminalIP_2=127.0.0.3\r\n"), std::string::npos) << settings;
  EXPECT_NE(settings.find("TerminalChecked_2=1\r\n"), std::string::npos) << settings;
  EXPECT_TRUE(fs::exists(folder + "/PLU-Up-Default.txt"));
  EXPECT_FALSE(fs::exists(std::string(installed) + "/Orlent.ini"));
}

}  // namespace
