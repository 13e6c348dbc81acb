// The start of a send, in a cycle and alone: a bad port or a bad download
// file stops it before any terminal is contacted, and a cycle sends every
// terminal the records read once at its start.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/echo_answer.h"
#include "tests/support/program_fixture.h"

namespace {

using Lines = std::vector<std::string>;

// 37 PLU lines whose line 12 lacks its columns from 4 on.
std::string BrokenAtLine12() {
  std::string text;
  for (int line = 1; line <= 37; ++line) {
    text += line == 12 ? "1\t12\t0\r\n" : PluFileLines(1, line);
  }
  return text;
}

struct BadStart {
  std::string port;
  std::function<void(TempFolder&)> writeFile;
  std::string error;
};

std::vector<BadStart> BadStarts() {
  const auto goodFile = [](TempFolder& folder) {
    folder.Write("PLU-Down-Default.txt", PluFileLines(2));
  };
  const auto badPort = [](const std::string& port) {
    return "The port '" + port + "' is not a number from 1 to 65535 !";
  };
  return {
      {"abc", goodFile, badPort("abc")},
      {"0", goodFile, badPort("0")},
      {"-5", goodFile, badPort("-5")},
      {"70000", goodFile, badPort("70000")},
      {"", goodFile, badPort("")},
      {"20404", [](TempFolder&) {},
       "I/O Error ! (PLU-Down-Default.txt: the file cannot be opened: No such file or directory)"},
      {"20404", [](TempFolder& folder) { folder.Write("PLU-Down-Default.txt", BrokenAtLine12()); },
       "Error in input file ! (PLU-Down-Default.txt, line 12, column 5: the line has only 3 "
       "columns)"},
      {"20404",
       [](TempFolder& folder) {
         ASSERT_EQ(mkfifo(folder.File("PLU-Down-Default.txt").c_str(), 0600), 0);
       },
       "I/O Error ! (PLU-Down-Default.txt: not a regular file)"},
      {"20404", [](TempFolder& folder) { folder.Write("PLU-Down-Default.txt", "; none\r\n"); },
       "Error in input file ! (PLU-Down-Default.txt: the file holds no records)"},
  };
}

int Calls(const FakeLink& link, const std::string& name) {
  int n = 0;
  for (const auto& call : link.calls) n += call.name == name;
  return n;
}

}  // namespace

TEST(DownloadStart, ABadPortOrFileStopsACycleBeforeAnyTerminalIsContacted) {
  for (const BadStart& start : BadStarts()) {
    SCOPED_TRACE(start.error);
    ProgramFixture f;
    start.writeFile(f.folder);
    Program& program = *f.program;
    program.Terminals().SetPort(start.port);
    program.Terminals().SetEntries({{"127.0.0.41", true}, {"127.0.0.42", true}});
    const std::size_t logStart = program.Activity().Lines().size();
    program.HandleEvent([&] { program.Send(TickedSendOrder(program)); });
    EXPECT_FALSE(program.CycleRunning()) << "no cycle is left half-started";
    EXPECT_FALSE(f.loop.Armed(TimerKind::Pause));
    f.loop.Advance(30000);
    EXPECT_EQ(f.view.errors, Lines{start.error});
    EXPECT_EQ(Calls(f.link, "Connect"), 0);
    EXPECT_TRUE(f.link.sent.empty());
    EXPECT_EQ(program.Activity().Lines().size(), logStart) << "nothing is logged";
  }
}

TEST(DownloadStart, ABadPortOrFileStopsASendOutsideACycleBeforeAnythingIsSent) {
  for (const BadStart& start : BadStarts()) {
    SCOPED_TRACE(start.error);
    ProgramFixture f;
    start.writeFile(f.folder);
    Program& program = *f.program;
    program.Serve("127.0.0.41");
    program.HandleEvent(
        [&] { program.Connect(ServedOrder(program)); });  // the connection it sends on
    f.loop.RunPending();
    program.Terminals().SetPort(start.port);
    const std::size_t logStart = program.Activity().Lines().size();
    program.HandleEvent([&] { program.Download(ServedDownloadOrder(program)); });
    EXPECT_EQ(f.view.errors, Lines{start.error});
    EXPECT_TRUE(f.link.sent.empty());
    EXPECT_EQ(Calls(f.link, "Disconnect"), 0);
    EXPECT_EQ(program.Activity().Lines().size(), logStart) << "nothing is logged";
  }
}

TEST(DownloadStart, EveryTerminalOfACycleGetsTheRecordsReadAtItsStart) {
  ProgramFixture f;
  Program& program = *f.program;
  f.folder.Write("PLU-Down-Default.txt", PluFileLines(2));
  program.Terminals().SetEntries({{"127.0.0.41", true}, {"127.0.0.42", true}});
  program.HandleEvent([&] { program.Send(TickedSendOrder(program)); });
  f.loop.Advance(3000);
  EchoLastSent(f.link, f.loop);
  // Changed, then gone, while the first terminal is served.
  f.folder.Write("PLU-Down-Default.txt", PluFileLines(3, 50));
  EchoLastSent(f.link, f.loop);
  std::remove(f.folder.File("PLU-Down-Default.txt").c_str());
  f.loop.Advance(3000);
  EchoLastSent(f.link, f.loop);
  EchoLastSent(f.link, f.loop);
  EXPECT_TRUE(f.view.errors.empty());
  ASSERT_EQ(f.link.sent.size(), 4u);
  EXPECT_EQ(f.link.sent[2].address, "127.0.0.42");
  EXPECT_EQ(f.link.sent[2].data, f.link.sent[0].data);
  EXPECT_EQ(f.link.sent[3].data, f.link.sent[1].data);
  int completes = 0;
  for (const auto& line : program.Activity().Lines())
    completes += line == "- Complete Send Plu (Total : 2)";
  EXPECT_EQ(completes, 2);
  EXPECT_EQ(program.Activity().Lines().back(), "* End *");
}
