// The program model: what it dials and when, its served-terminal commands,
// and how an event that fails is shown.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "tests/support/program_fixture.h"

TEST(ProgramModel, NothingIsDialledUntilTheOperatorAsks) {
  ProgramFixture f;
  const std::size_t calls = f.link.calls.size();
  f.loop.Advance(60000);
  EXPECT_EQ(f.link.calls.size(), calls);
}

TEST(ProgramModel, ServedTerminalCommandsReachTheLibrary) {
  ProgramFixture f;
  f.link.connectResult = 0;
  // The connect step dials the served address with 5000 ms for each of three attempts.
  f.program->Serve("127.0.0.2");
  f.program->HandleEvent([&] { f.program->Connect(ServedOrder(*f.program)); });
  ASSERT_GE(f.link.calls.size(), 2u);
  const FakeCall& setup = f.link.calls[f.link.calls.size() - 2];
  EXPECT_EQ(setup.name, "AddProcConnectionEx");
  EXPECT_EQ(setup.numbers, (std::vector<int>{1, 20404, 100, 5010, 5000, 3, 9}));
  EXPECT_EQ(setup.texts, std::vector<std::string>{"127.0.0.2"});
  EXPECT_EQ(f.link.calls.back().name, "Connect");
  EXPECT_EQ(f.link.calls.back().texts, std::vector<std::string>{"127.0.0.2"});

  EXPECT_TRUE(f.program->ConnectPending()) << "the result comes back through the loop";
  f.loop.RunPending();
  EXPECT_FALSE(f.program->ConnectPending());
  EXPECT_EQ(f.program->Activity().Lines().back(), "- Fail Connect 127.0.0.2");

  f.program->HandleEvent([&] { f.program->Disconnect(ServedOrder(*f.program)); });
  EXPECT_EQ(f.link.calls.back().name, "Disconnect");

  // A download begins only with a file that holds records, on the served
  // terminal's connection.
  f.folder.Write("PLU-Down-Default.txt", "1\t1\t0\tItem\t1\t0\t1\t0\t0\r\n");
  f.link.connectResult = 1;
  f.program->HandleEvent([&] { f.program->Connect(ServedOrder(*f.program)); });
  f.loop.RunPending();
  f.program->HandleEvent([&] { f.program->Download(ServedDownloadOrder(*f.program)); });
  EXPECT_EQ(f.program->ServedTransfer().Direction, 3);  // the download began
}

TEST(ProgramModel, EventBoundaryShowsAnEscapingFailureAndGoesOn) {
  ProgramFixture f;
  f.program->HandleEvent([&] {
    f.program->AddLog("before");
    throw std::runtime_error("Unable to write to /x/Orlent.ini");
  });
  EXPECT_EQ(f.view.failures, std::vector<std::string>{"Unable to write to /x/Orlent.ini"});
  EXPECT_EQ(f.view.eventsHandled, 1);
  EXPECT_EQ(f.program->Activity().Lines().back(), "before");

  f.program->HandleEvent([&] { f.program->AddLog("after"); });
  EXPECT_EQ(f.view.failures.size(), 1u);
  EXPECT_EQ(f.view.eventsHandled, 2);
  EXPECT_EQ(f.program->Activity().Lines().back(), "after");
}

TEST(ProgramModel, AConnectThatEndsAfterTheProgramIsGoneTouchesNothing) {
  ProgramFixture f;
  f.program->Serve("127.0.0.2");
  f.program->HandleEvent([&] { f.program->Connect(ServedOrder(*f.program)); });
  ASSERT_TRUE(f.program->ConnectPending());
  const std::size_t lines = f.view.appended.size();
  f.program.reset();
  f.loop.RunPending();  // the connect's result, posted before the program went
  EXPECT_EQ(f.view.appended.size(), lines);
}
