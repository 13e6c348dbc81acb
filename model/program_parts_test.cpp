// The program's parts on their own: the settings it keeps, the served
// terminal's session, and the cycle runner before and after a cycle.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "model/program_settings.h"
#include "settings/settings_file.h"
#include "tests/support/echo_answer.h"
#include "tests/support/program_fixture.h"
#include "tests/support/recording_view.h"
#include "tests/support/temp_folder.h"

namespace {

using Lines = std::vector<std::string>;

const std::string kOneEntry =
    "[Terminal]\r\nTerminalPort=3001\r\nTerminalNums=1\r\nTerminalIP_1=127.0.0.2\r\n"
    "TerminalChecked_1=1\r\n";

TEST(ProgramSettings, AValueSetAsideIsShownAtEachLoadUnlessKeptAndAKeptOneStaysInTheFile) {
  const std::string file = kOneEntry + "TerminalParallel=four\r\n";
  const std::string message = "TerminalParallel 'four' in ";
  for (const bool keep : {false, true}) {
    SCOPED_TRACE(keep ? "kept" : "shown");
    TempFolder folder;
    folder.Write("Orlent.ini", file);
    RecordingView view;
    ProgramSettings settings(view);
    settings.Open(std::make_unique<SettingsFile>(folder.File("Orlent.ini")));
    settings.KeepSetAside(keep);
    settings.Load();
    ASSERT_EQ(settings.SetAside().size(), 1u);
    EXPECT_EQ(settings.CycleOptionsStored().parallel, kParallelKey.absent);
    EXPECT_EQ(view.errors.size(), keep ? 0u : 1u);
    if (!keep) {
      EXPECT_EQ(view.errors[0].substr(0, message.size()), message);
    }
    settings.Save();
    EXPECT_EQ(folder.Read("Orlent.ini"), keep ? file : kOneEntry + "TerminalParallel=1\r\n")
        << "a kept value stays as the file held it";
  }
}

TEST(ProgramSettings, StoredOptionsAndAPickAreSavedAtOnceWithTheList) {
  TempFolder folder;
  folder.Write("Orlent.ini", kOneEntry);
  RecordingView view;
  ProgramSettings settings(view);
  settings.Open(std::make_unique<SettingsFile>(folder.File("Orlent.ini")));
  settings.Load();
  settings.Store({3, 0, 2500}, CodePage());
  EXPECT_EQ(folder.Read("Orlent.ini"),
            kOneEntry + "TerminalParallel=3\r\nTerminalPause=0\r\nTerminalAnswerTimeout=2500\r\n");
  settings.Remember("/srv/week 12.txt");
  EXPECT_EQ(settings.RememberedSendFile(), "/srv/week 12.txt");
  EXPECT_NE(folder.Read("Orlent.ini").find("SendFile=/srv/week 12.txt\r\n"), std::string::npos);
  settings.Release();
  EXPECT_EQ(settings.File(), nullptr);
  EXPECT_THROW(settings.Save(), std::logic_error) << "no file to save to after Release";
}

// Which orders keep the served session and which make a new one.
TEST(ServedTerminal, AnOrderForTheSameTerminalKeepsItsSessionOneForAnotherMakesANewOne) {
  ProgramFixture f;
  Program& program = *f.program;
  program.Terminals().SetPort("3001");
  EXPECT_EQ(program.Served(), nullptr) << "no session before the first order";
  const struct {
    const char* address;
    bool sameSession;
  } orders[] = {{"127.0.0.2", false},
                {"127.0.0.2", true},
                {"127.0.0.3", false},
                {"127.0.0.3", true},
                {"127.0.0.2", false}};
  for (const auto& order : orders) {
    SCOPED_TRACE(order.address);
    TerminalSession& session = program.OpenServedSession({order.address, {}});
    // A kept session is still connected from the order before; a new one is not.
    EXPECT_EQ(session.Glance().phase == SessionPhase::Connected, order.sameSession);
    EXPECT_EQ(session.Address(), order.address);
    EXPECT_EQ(program.ServedAddress(), order.address);
    EXPECT_EQ(program.Served(), &session);
    program.HandleEvent([&] { program.Connect({order.address, {}}); });
    f.loop.RunUntilIdle();
    ASSERT_EQ(session.Glance().phase, SessionPhase::Connected);
  }
}

TEST(ServedTerminal, ACycleTakesTheServedTerminalsPlace) {
  ProgramFixture f;
  Program& program = *f.program;
  f.folder.Write("PLU-Down-Default.txt", PluFileLines(1));
  program.Terminals().SetPort("3001");
  program.Terminals().SetEntries({{"127.0.0.4", true}});
  program.Serve("127.0.0.2");
  program.HandleEvent([&] { program.Connect(ServedOrder(program)); });
  f.loop.RunUntilIdle();
  ASSERT_TRUE(program.ServedResult().has_value());
  EXPECT_EQ(program.ServedResult()->address, "127.0.0.2");

  program.HandleEvent([&] { program.Send(TickedSendOrder(program)); });
  ASSERT_TRUE(program.CycleRunning());
  EXPECT_FALSE(program.ServedResult().has_value()) << "the served session went with the cycle";
  EXPECT_EQ(program.ServedAddress(), "127.0.0.4") << "it follows the cycle";
  f.loop.Advance(program.CycleOptionsInForce().pauseMs);
  ASSERT_NE(program.Served(), nullptr);
  EXPECT_EQ(program.Served()->Address(), "127.0.0.4");
}

TEST(CycleRunner, BeforeAnyCycleNothingRunsNothingIsRefusedAndNoEntryFailed) {
  RecordingView view;
  CycleRunner runner(view);
  TerminalList list;
  list.SetEntries({{"127.0.0.2", true}, {"127.0.0.3", false}});
  EXPECT_FALSE(runner.Running());
  EXPECT_FALSE(runner.RefusedWhileRunning());
  EXPECT_TRUE(view.errors.empty());
  EXPECT_EQ(runner.LastKind(), CycleKind::Send);
  EXPECT_TRUE(runner.Results().empty());
  EXPECT_EQ(runner.Current(), nullptr);
  const std::vector<CycleEntry> failed = runner.Failed(list);
  ASSERT_EQ(failed.size(), 2u);
  EXPECT_FALSE(failed[0].ticked || failed[1].ticked);
}

}  // namespace
