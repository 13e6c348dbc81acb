// The window and its program folder: a second window on the same folder is
// refused with an error box before it loads anything, and a settings file
// that cannot be read is reported once the window is up.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "window/main_window.h"
#include "window/window_fixture.h"

using Texts = std::vector<std::string>;

TEST(FolderRefusal, ASecondWindowOnTheSameFolderShowsAnErrorBoxAndDoesNotStart) {
  EnsureApplication();
  TempFolder folder;
  FakeLink link;
  ManualLoop loop;
  const std::string settings = "[Terminal]\r\nTerminalNums=1\r\nTerminalIP_1=127.0.0.2\r\n";
  folder.Write("Orlent.ini", settings);
  MainWindow first(loop, link.Table(), folder.File("orlent"));
  ASSERT_TRUE(first.Start(FolderRole::Window));

  ModalAnswerer operatorStandIn;
  MainWindow second(loop, link.Table(), folder.File("orlent"));
  EXPECT_FALSE(second.Start(FolderRole::Window));
  ASSERT_EQ(operatorStandIn.boxes.size(), 1u);
  EXPECT_EQ(operatorStandIn.boxes[0].title, "ERROR");
  EXPECT_EQ(operatorStandIn.Texts(),
            Texts{folder.File("Orlent.ini") + " is open in another Orlent window"});
  EXPECT_TRUE(second.Model().Terminals().Entries().empty());
  EXPECT_EQ(first.Model().Terminals().Entries().size(), 1u);
  EXPECT_EQ(folder.Read("Orlent.ini"), settings);
}

TEST(FolderRefusal, ASettingsFileThatCannotBeReadIsReportedOnceTheWindowIsUp) {
  EnsureApplication();
  TempFolder folder;
  std::filesystem::create_directory(folder.File("Orlent.ini"));
  FakeLink link;
  ManualLoop loop;
  ModalAnswerer operatorStandIn;
  MainWindow window(loop, link.Table(), folder.File("orlent"));
  EXPECT_TRUE(window.Start(FolderRole::Window));
  EXPECT_EQ(operatorStandIn.Texts(), Texts{"Unable to read " + folder.File("Orlent.ini")});
  EXPECT_EQ(window.Model().Activity().Lines(), Texts{"Orlent V3.0.0.0"});
}
