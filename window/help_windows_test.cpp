// "Help" in the window: the user guide shipped with the program, found where
// each layout puts it and shown from its Markdown, and the About box.
#include "window/help_windows.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QTextBrowser>
#include <filesystem>

#include "tests/support/temp_folder.h"
#include "window/main_window.h"
#include "window/window_fixture.h"

namespace {

TEST(HelpWindows, TheUserGuideIsFoundBesideTheProgramOrInTheDocumentationFolder) {
  const struct {
    std::vector<std::string> guides;  // README.md files made
    std::string found;
  } cases[] = {
      {{"lib/orlent/README.md", "share/doc/orlent/README.md"}, "lib/orlent/README.md"},
      {{"share/doc/orlent/README.md"}, "share/doc/orlent/README.md"},
      {{}, "lib/orlent/README.md"},
  };
  for (const auto& c : cases) {
    TempFolder folder;
    std::filesystem::create_directories(folder.File("lib/orlent"));
    std::filesystem::create_directories(folder.File("share/doc/orlent"));
    for (const std::string& guide : c.guides) folder.Write(guide, "# Orlent\n");
    const QString found = UserGuidePath(folder.File("lib/orlent/orlent"));
    EXPECT_EQ(std::filesystem::weakly_canonical(found.toStdString()),
              std::filesystem::weakly_canonical(folder.File(c.found)))
        << c.found;
  }
}

TEST(HelpWindows, F1ShowsTheUserGuideFromItsMarkdown) {
  WindowFixture w;
  w.folder.Write("README.md", "# Orlent\n\n## Sending\n\nPress **Send Data**.\n");
  EXPECT_EQ(w.window->Help().UserGuideItem->shortcut(), QKeySequence(Qt::Key_F1));
  w.window->Help().UserGuideItem->trigger();
  ProcessEvents();
  auto* guide = w.window->findChild<QDialog*>("UserGuideWindow");
  ASSERT_NE(guide, nullptr);
  EXPECT_TRUE(guide->isVisible());
  const auto* text = guide->findChild<QTextBrowser*>("UserGuideText");
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->toPlainText(), "Orlent\nSending\nPress Send Data.");
  EXPECT_FALSE(text->openLinks());
  EXPECT_NE(text->toHtml().indexOf("<h2"), -1);  // rendered, not shown as Markdown
  guide->close();
}

TEST(HelpWindows, TheShippedGuideIsTheReadme) {
  EnsureApplication();
  const QString beside = UserGuidePath(TERMLINK_PATH);  // the programs' folder of the build
  std::unique_ptr<QDialog> guide(NewUserGuideWindow(nullptr, beside));
  const QString text = guide->findChild<QTextBrowser*>("UserGuideText")->toPlainText();
  EXPECT_TRUE(text.startsWith("Orlent\n")) << beside.toStdString();
  EXPECT_GT(text.size(), 2000);
}

TEST(HelpWindows, AboutNamesTheVersionsAndTheFolderInUse) {
  WindowFixture w;
  ModalAnswerer answerer;
  w.window->Help().AboutItem->trigger();
  ASSERT_EQ(answerer.boxes.size(), 1u);
  const QString text = answerer.boxes[0].text;
  EXPECT_EQ(answerer.boxes[0].title, "About Orlent");
  EXPECT_FALSE(w.Model().VersionLine().empty());
  for (const std::string& part : {std::string(kWindowCaption), std::string("3.0.0"),
                                  w.Model().VersionLine(), w.Model().ProgramFolder()}) {
    EXPECT_TRUE(text.contains(QString::fromStdString(part)))
        << part << " in " << text.toStdString();
  }
}

}  // namespace
