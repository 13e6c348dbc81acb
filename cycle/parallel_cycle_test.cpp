// A send cycle that serves several terminals at once, and a stopped cycle:
// the log reads as the one-at-a-time cycle's, block by block in list order;
// one terminal is served by one session at a time, and after a stop every
// entry's state is final.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "console/terminal_state_text.h"
#include "tests/support/echo_answer.h"
#include "tests/support/program_fixture.h"

namespace {

using Lines = std::vector<std::string>;

// A list with every kind of entry: a terminal that stores every record, one
// not ticked, one that refuses the connect, one that never answers, and the
// first address ticked a second time.
const std::vector<TerminalEntry> kList = {{"127.0.0.11", true}, {"127.0.0.12", false},
                                          {"127.0.0.13", true}, {"127.0.0.14", true},
                                          {"127.0.0.15", true}, {"127.0.0.11", true}};
const std::string kSilent = "127.0.0.14";

struct CycleRun {
  Lines log;
  int64_t endedAt = 0;             // virtual time
  std::vector<std::string> calls;  // Connect and Disconnect, with their addresses
  std::vector<TerminalState> states;
  std::map<int, TerminalState> shown;  // the last state the view was told of each entry
};

class ParallelCycle : public ::testing::Test {
 protected:
  // Runs a cycle over `list` with `parallel` terminals at once, playing every
  // terminal but the silent one: each record is acknowledged as soon as it is
  // sent. With `stopAt` > 0 the operator stops the cycle at that virtual time.
  CycleRun Cycle(int parallel, int64_t stopAt = 0, const std::vector<TerminalEntry>& list = kList) {
    ProgramFixture f;
    f.folder.Write("PLU-Down-Default.txt", PluFileLines(3));
    f.link.unreachable = {"127.0.0.13"};
    Program& program = *f.program;
    const std::size_t logStart = program.Activity().Lines().size();
    program.Terminals().SetEntries(list);
    ChangeCycleOptions(program, parallel, std::nullopt, std::nullopt);
    program.HandleEvent([&] { program.Send(TickedSendOrder(program)); });
    std::size_t answered = 0;
    while (program.CycleRunning() && f.loop.Now() < 3600 * 1000) {
      while (answered < f.link.sent.size()) {
        const SentPacket packet = f.link.sent[answered++];
        if (packet.address == kSilent) continue;
        f.link.Deliver(packet.packet.Code, packet.packet.Direction, packet.data.data(),
                       static_cast<uint16_t>(packet.data.size()), packet.address);
        f.loop.RunPending();
      }
      if (stopAt > 0 && f.loop.Now() >= stopAt) {
        program.HandleEvent([&] { program.StopCycle(); });
        stopAt = 0;
      }
      f.loop.Advance(100);
    }
    CycleRun run;
    run.log.assign(program.Activity().Lines().begin() + logStart, program.Activity().Lines().end());
    run.endedAt = f.loop.Now();
    for (const FakeCall& call : f.link.calls) {
      if (call.name == "Connect" || call.name == "Disconnect") {
        run.calls.push_back(call.name + " " + call.texts.front());
      }
    }
    run.states = program.CycleStates();
    for (const TerminalState& state : f.view.states) run.shown[state.entry] = state;
    EXPECT_TRUE(f.view.failures.empty());
    return run;
  }
};

TEST_F(ParallelCycle, TheLogReadsTheSameWhateverTheNumberServedAtOnce) {
  const CycleRun one = Cycle(1);
  ASSERT_FALSE(one.log.empty());
  EXPECT_EQ(one.log.back(), "* End *");
  for (int parallel : {2, 3, 6, 64}) {
    SCOPED_TRACE(parallel);
    const CycleRun many = Cycle(parallel);
    EXPECT_EQ(many.log, one.log);
    EXPECT_LT(many.endedAt, one.endedAt) << "the pauses and the time-out overlap";
    // The second entry of 127.0.0.11 waits for the first one's disconnect.
    std::vector<std::string> ofEleven;
    for (const auto& call : many.calls) {
      if (call.ends_with(" 127.0.0.11")) ofEleven.push_back(call);
    }
    EXPECT_EQ(ofEleven, (Lines{"Connect 127.0.0.11", "Disconnect 127.0.0.11", "Connect 127.0.0.11",
                               "Disconnect 127.0.0.11"}));
    ASSERT_EQ(many.states.size(), 5u);
    const std::vector<std::string> failures = {"", "connect failed", "timed out", "", ""};
    for (std::size_t i = 0; i < failures.size(); ++i) {
      EXPECT_EQ(many.states[i].failure, failures[i]) << i;
      EXPECT_EQ(many.states[i].stored, failures[i].empty() ? 3u : 0u) << i;
    }
  }
}

TEST_F(ParallelCycle, AStopDisconnectsTheTerminalsInFlightAndEndsEachUnfinishedBlock) {
  // At 3.1 s every terminal has connected and all but the silent one are
  // served; the second 127.0.0.11 waits out its pause.
  const CycleRun stopped = Cycle(6, 3100);
  const Lines expected = {"",
                          "- Success Connect 127.0.0.11",
                          "- Success to Send Plu (3)",
                          "- Complete Send Plu (Total : 3)",
                          "- Success to Disconect 127.0.0.11",
                          "",
                          "- Skip Connect 127.0.0.12",
                          "",
                          "- Fail Connect 127.0.0.13",
                          "",
                          "- Success Connect 127.0.0.14",
                          "- Success to Send Plu (1)",
                          "- Success to Disconect 127.0.0.14",
                          "- Stopped 127.0.0.14",
                          "",
                          "- Success Connect 127.0.0.15",
                          "- Success to Send Plu (3)",
                          "- Complete Send Plu (Total : 3)",
                          "- Success to Disconect 127.0.0.15",
                          "",
                          "- Stopped 127.0.0.11",
                          "",
                          "* End *"};
  EXPECT_EQ(stopped.log, expected);
  ASSERT_EQ(stopped.states.size(), 5u);
  EXPECT_EQ(stopped.states[2].failure, "stopped");
  EXPECT_EQ(stopped.states[4].failure, "stopped") << "the second 127.0.0.11 was never connected";
  EXPECT_EQ(stopped.calls.back(), "Disconnect 127.0.0.14");
  // The log's "(1)" counts the record sent, the state also the none stored.
  EXPECT_EQ(stopped.states[2].sent, 1u);
  EXPECT_EQ(TerminalStateText(stopped.states[2]), "stopped (1 sent, 0 stored)");
  EXPECT_EQ(CycleTotalsText(stopped.states),
            "5 terminals: 2 done, 1 failed, 2 stopped; 6 of 15 records stored");
}

TEST_F(ParallelCycle, AfterAStopEveryEntrysStateIsFinalAndTheViewWasToldIt) {
  // One at a time: at 3.1 s the first 127.0.0.11 is served and 127.0.0.13
  // waits out its pause; the entries after it were never turned to.
  const CycleRun stopped = Cycle(1, 3100);
  ASSERT_GE(stopped.log.size(), 3u);
  EXPECT_EQ(Lines(stopped.log.end() - 3, stopped.log.end()),
            (Lines{"- Stopped 127.0.0.13", "", "* End *"}));
  const std::vector<std::string> shown = {"done", "stopped", "not served", "not served",
                                          "not served"};
  ASSERT_EQ(stopped.states.size(), shown.size());
  std::vector<TerminalState> told;
  for (std::size_t i = 0; i < shown.size(); ++i) {
    const TerminalState& state = stopped.states[i];
    EXPECT_EQ(TerminalStateText(state), shown[i]) << i;
    ASSERT_EQ(stopped.shown.count(state.entry), 1u) << i;
    told.push_back(stopped.shown.at(state.entry));
    EXPECT_EQ(TerminalStateText(told.back()), shown[i]) << i;
  }
  EXPECT_EQ(CycleTotalsText(told),
            "5 terminals: 1 done, 0 failed, 1 stopped, 3 not served; 3 of 15 records stored");
}

std::vector<TerminalEntry> Ticked(const std::vector<std::string>& addresses) {
  std::vector<TerminalEntry> items;
  for (const std::string& address : addresses) items.push_back({address, true});
  return items;
}

TEST_F(ParallelCycle, AnEntryWaitingForItsTerminalHoldsUpNoEntryAfterIt) {
  const std::string a = "127.0.0.21", b = "127.0.0.22", c = "127.0.0.23", d = "127.0.0.24";
  const auto paired = Ticked({a, a, b, b, c, c, d, d});
  const CycleRun many = Cycle(8, 0, paired);
  EXPECT_EQ(many.endedAt, Cycle(8, 0, Ticked({a, b, c, d, a, b, c, d})).endedAt);
  const CycleRun one = Cycle(1, 0, paired);
  EXPECT_LT(many.endedAt * 3, one.endedAt) << "two rounds of pauses, not eight";
  EXPECT_EQ(many.log, one.log) << "the blocks stay in list order";
  for (const TerminalState& state : many.states) EXPECT_TRUE(state.Done()) << state.address;
}

TEST_F(ParallelCycle, OneTerminalWrittenTwoWaysIsServedByOneSessionAtATime) {
  const CycleRun run = Cycle(2, 0, Ticked({"127.0.0.10", "::ffff:127.0.0.10"}));
  EXPECT_EQ(run.calls, (Lines{"Connect 127.0.0.10", "Disconnect 127.0.0.10",
                              "Connect ::ffff:127.0.0.10", "Disconnect ::ffff:127.0.0.10"}));
  for (const TerminalState& state : run.states) EXPECT_TRUE(state.Done()) << state.address;
}

}  // namespace
