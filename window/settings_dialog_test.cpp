// "Communication" › "Settings…" in the window: the dialog shows the program's
// options, OK saves them to the settings file, Cancel changes nothing, and the
// item is not offered while a send cycle runs.
#include "window/settings_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <functional>
#include <string>

#include "window/window_fixture.h"

namespace {

const std::string kOneTicked =
    "[Terminal]\r\nTerminalPort=20404\r\nTerminalNums=1\r\n"
    "TerminalIP_1=127.0.0.2\r\nTerminalChecked_1=1\r\n";
const std::string kOptions =
    "TerminalParallel=4\r\nTerminalPause=250\r\nTerminalAnswerTimeout=8000\r\n";

// Opens the dialog from the menu and lets `operate` work it as the operator would.
void WorkTheDialog(WindowFixture& w, const std::function<void(SettingsDialog&)>& operate) {
  bool seen = false;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<SettingsDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    seen = true;
    operate(*dialog);
  });
  w.window->Menu().SettingsItem->trigger();
  EXPECT_TRUE(seen) << "the Settings dialog did not open";
}

}  // namespace

TEST(WindowSettings, TheDialogShowsTheOptionsOkSavesThemAndCancelDoesNot) {
  WindowFixture w(kOneTicked + kOptions);
  WorkTheDialog(w, [](SettingsDialog& dialog) {
    EXPECT_EQ(dialog.ParallelBox->value(), 4);
    EXPECT_EQ(dialog.PauseBox->value(), 250);
    EXPECT_EQ(dialog.AnswerTimeoutBox->value(), 8000);
    // The arrows keep to the ranges of the keys.
    dialog.ParallelBox->setValue(63);
    dialog.ParallelBox->stepBy(5);
    EXPECT_EQ(dialog.ParallelBox->value(), 64);
    dialog.AnswerTimeoutBox->setValue(2);
    dialog.AnswerTimeoutBox->stepBy(-5);
    EXPECT_EQ(dialog.AnswerTimeoutBox->value(), 1);
    dialog.AnswerTimeoutBox->setValue(8000);
    dialog.PauseBox->setValue(0);
    dialog.Buttons->button(QDialogButtonBox::Ok)->click();
  });
  const std::string saved =
      kOneTicked + "TerminalParallel=64\r\nTerminalPause=0\r\nTerminalAnswerTimeout=8000\r\n";
  EXPECT_EQ(w.folder.Read("Orlent.ini"), saved);
  EXPECT_EQ(w.Model().CycleOptionsInForce().parallel, 64);
  EXPECT_EQ(w.Model().CycleOptionsInForce().pauseMs, 0);

  WorkTheDialog(w, [](SettingsDialog& dialog) {
    EXPECT_EQ(dialog.ParallelBox->value(), 64);
    dialog.ParallelBox->setValue(2);
    dialog.Buttons->button(QDialogButtonBox::Cancel)->click();
  });
  EXPECT_EQ(w.folder.Read("Orlent.ini"), saved);
  EXPECT_EQ(w.Model().CycleOptionsInForce().parallel, 64);
}

TEST(WindowSettings, TheItemIsNotOfferedWhileACycleRuns) {
  WindowFixture w(kOneTicked + kOptions);
  w.folder.Write("PLU-Down-Default.txt", "1\t101\t0\tApple\t250\t0\t0\t0\t0\r\n");
  const MainMenu& menu = w.window->Menu();
  EXPECT_TRUE(menu.SettingsItem->isEnabled());
  w.Panel().SendButton->click();
  ASSERT_TRUE(w.Model().CycleRunning());
  EXPECT_FALSE(menu.SettingsItem->isEnabled());
  w.manualLoop.RunUntilIdle();
  ASSERT_FALSE(w.Model().CycleRunning());
  EXPECT_TRUE(menu.SettingsItem->isEnabled());
}

TEST(WindowSettings, TheCharacterSetIsOfferedAnUnknownNameRefusedAndOkSavesIt) {
  WindowFixture w(kOneTicked + "TerminalCodePage=CP437\r\n");
  WorkTheDialog(w, [](SettingsDialog& dialog) {
    EXPECT_EQ(dialog.CodePageBox->currentText(), "CP437");
    EXPECT_GE(dialog.CodePageBox->findText("ISO-8859-2"), 0);
    QPushButton* ok = dialog.Buttons->button(QDialogButtonBox::Ok);
    const struct {
      const char* typed;
      bool known;
    } names[] = {{"klingon", false}, {"UTF-16", false}, {"none", true}, {"ISO-8859-2", true}};
    for (const auto& name : names) {
      dialog.CodePageBox->setEditText(name.typed);
      EXPECT_EQ(ok->isEnabled(), name.known) << name.typed;
      EXPECT_EQ(dialog.CodePageRefusal->text().contains(name.typed), !name.known) << name.typed;
    }
    ok->click();
  });
  EXPECT_EQ(w.folder.Read("Orlent.ini"), kOneTicked + "TerminalCodePage=ISO-8859-2\r\n");
  EXPECT_EQ(w.Model().CodePageInForce().Name(), "ISO-8859-2");
}

// A number out of its key's range stays as typed, refused with a message
// shown whole, and OK waits until it is mended.
TEST(WindowSettings, ANumberOutOfRangeIsRefusedWithAMessageNotCut) {
  WindowFixture w(kOneTicked + kOptions);
  WorkTheDialog(w, [](SettingsDialog& dialog) {
    QPushButton* ok = dialog.Buttons->button(QDialogButtonBox::Ok);
    const struct {
      QSpinBox* box;
      const char* typed;
      int value;
      const char* refusal;  // empty: none
    } cases[] = {
        {dialog.PauseBox, "700000", 700000,
         "The pause before each connect is 0 to 600000 ms; 700000 ms is refused."},
        {dialog.PauseBox, "600000", 600000, ""},
        {dialog.ParallelBox, "0", 0,
         "The number of terminals served at once is 1 to 64; 0 is refused."},
        {dialog.ParallelBox, "65", 65, "1 to 64; 65 is refused."},
        {dialog.ParallelBox, "4", 4, ""},
        {dialog.AnswerTimeoutBox, "0", 0, "The answer time-out is 1 to"},
        {dialog.AnswerTimeoutBox, "8000", 8000, ""},
    };
    for (const auto& c : cases) {
      c.box->selectAll();
      QTest::keyClicks(c.box, c.typed);
      ProcessEvents();
      EXPECT_EQ(c.box->value(), c.value) << c.typed;
      const bool refused = *c.refusal != 0;
      EXPECT_EQ(dialog.NumberRefusal->isVisible(), refused) << c.typed;
      if (refused) {
        EXPECT_TRUE(dialog.NumberRefusal->text().contains(c.refusal))
            << dialog.NumberRefusal->text().toStdString();
        // Shown whole: as tall as its wrapped lines need, inside the dialog.
        QLabel& label = *dialog.NumberRefusal;
        EXPECT_GE(label.height(), label.heightForWidth(label.width()));
        EXPECT_LE(label.geometry().right(), dialog.width());
      }
      EXPECT_EQ(ok->isEnabled(), !refused) << c.typed;
    }
    dialog.CodePageBox->setEditText("a-character-set-whose-name-is-far-too-long-for-one-line");
    ProcessEvents();
    QLabel& label = *dialog.CodePageRefusal;
    ASSERT_TRUE(label.isVisible());
    EXPECT_GE(label.height(), label.heightForWidth(label.width()));
    EXPECT_LE(label.geometry().right(), dialog.width());
    dialog.Buttons->button(QDialogButtonBox::Cancel)->click();
  });
  EXPECT_EQ(w.folder.Read("Orlent.ini"), kOneTicked + kOptions);
}
