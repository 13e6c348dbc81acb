// The cycle's options and the picked send file: loaded at start-up and used
// by the next cycle, changed and saved at once, and found again after a
// restart of the program.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/program_fixture.h"

using Lines = std::vector<std::string>;

namespace {

const std::string kOneTicked =
    "[Terminal]\r\nTerminalPort=20404\r\nTerminalNums=1\r\n"
    "TerminalIP_1=127.0.0.2\r\nTerminalChecked_1=1\r\n";

struct RememberedChoices : ::testing::Test {
  ProgramFixture f{false};

  void Start(const std::string& settings) {
    f.folder.Write("Orlent.ini", settings);
    f.program->Start();
  }
  // A new program on the same folder, as the next start of the window.
  void Restart() {
    f.program->Close();
    f.program.reset();
    f.program = std::make_unique<Program>(f.loop, f.view, f.link.Table(), f.folder.File("orlent"));
    f.program->Start();
  }
};

}  // namespace

TEST_F(RememberedChoices, TheFilesOptionsReachTheNextCycleAndItsFaultsAreToldOnce) {
  f.folder.Write("PLU-Down-Default.txt", "1\t101\t0\tApple\t250\t0\t0\t0\t0\r\n");
  Start(kOneTicked + "TerminalParallel=9\r\nTerminalPause=500\r\nTerminalAnswerTimeout=x\r\n");
  const Program& program = *f.program;
  EXPECT_EQ(program.CycleOptionsInForce().parallel, 9);
  EXPECT_EQ(program.CycleOptionsInForce().pauseMs, 500);
  EXPECT_EQ(program.CycleOptionsInForce().answerTimeoutMs, 10000);
  EXPECT_EQ(program.StoredCycleOptions().parallel, 9);
  ASSERT_EQ(f.view.errors.size(), 1u);
  EXPECT_EQ(f.view.errors[0], "TerminalAnswerTimeout 'x' in " + f.folder.File("Orlent.ini") +
                                  " is not a number from 1 to 3600000: 10000 is used");

  // The list edit's save writes the value in use, so the reload finds no fault.
  f.program->AddTerminal("127.0.0.3");
  EXPECT_EQ(f.view.errors.size(), 1u);

  f.program->Send(TickedSendOrder(*f.program));
  EXPECT_EQ(f.loop.DueAt(TimerKind::Pause), 500);
}

TEST_F(RememberedChoices, ChangedOptionsAreSavedAtOnceAndRefusedWhileACycleRuns) {
  f.folder.Write("PLU-Down-Default.txt", "1\t101\t0\tApple\t250\t0\t0\t0\t0\r\n");
  Start(kOneTicked);
  f.program->ChangeSettings({4, 0, 2500}, CodePage());
  EXPECT_EQ(f.folder.Read("Orlent.ini"),
            kOneTicked + "TerminalParallel=4\r\nTerminalPause=0\r\nTerminalAnswerTimeout=2500\r\n");
  EXPECT_EQ(f.program->CycleOptionsInForce().parallel, 4);
  EXPECT_EQ(f.program->CycleOptionsInForce().pauseMs, 0);
  EXPECT_EQ(f.program->CycleOptionsInForce().answerTimeoutMs, 2500);

  const std::string saved = f.folder.Read("Orlent.ini");
  EXPECT_THROW(f.program->ChangeSettings({65, 0, 2500}, CodePage()), std::invalid_argument);
  EXPECT_EQ(f.program->CycleOptionsInForce().parallel, 4);

  SendOrder order = TickedSendOrder(*f.program);
  order.options.pauseMs = 100;  // keeps the cycle in its pause
  f.program->Send(order);
  ASSERT_TRUE(f.program->CycleRunning());
  f.program->ChangeSettings({2, 0, 2500}, CodePage());
  EXPECT_EQ(f.view.errors, Lines{"Send Data Is Running !"});
  EXPECT_EQ(f.program->CycleOptionsInForce().parallel, 4);
  EXPECT_EQ(f.folder.Read("Orlent.ini"), saved);
}

TEST_F(RememberedChoices, ThePickedFileIsChosenAgainAfterARestartWhileItExists) {
  Start(kOneTicked);
  const std::string picked = f.folder.File("week 12.txt");
  f.folder.Write("week 12.txt", "1\t101\t0\tApple\t250\t0\t0\t0\t0\r\n");
  f.program->PickSendFile(picked);
  EXPECT_EQ(f.folder.Read("Orlent.ini"), kOneTicked + "SendFile=" + picked + "\r\n");

  Restart();
  EXPECT_EQ(f.program->SendFile(), picked);
  EXPECT_TRUE(f.program->FileChosen());
  EXPECT_EQ(f.program->DownloadFilePath(), picked);

  std::filesystem::remove(picked);
  Restart();
  EXPECT_EQ(f.program->SendFile(), "PLU-Down-Default.txt");
  EXPECT_FALSE(f.program->FileChosen());
  // Still remembered: the file may come back by the next start.
  EXPECT_EQ(f.folder.Read("Orlent.ini"), kOneTicked + "SendFile=" + picked + "\r\n");
}

TEST_F(RememberedChoices, ChoicesForOneRunAreNotSaved) {
  Start(kOneTicked);
  f.folder.Write("PLU-Down-Default.txt", "1\t101\t0\tApple\t250\t0\t0\t0\t0\r\n");
  SendOrder order = TickedSendOrder(*f.program);
  order.options = {8, 0, 2500, std::nullopt};
  f.program->Send(order);
  ASSERT_TRUE(f.program->CycleRunning());
  f.program->ChooseSendFile(f.folder.File("once.txt"));
  f.program->PickSendFile("/srv/line\nbreak.txt");
  EXPECT_EQ(f.program->SendFile(), "/srv/line\nbreak.txt");
  f.program->Close();
  EXPECT_EQ(f.folder.Read("Orlent.ini"), kOneTicked);
}
