// orlent-cli stopped by a signal in the middle of a send cycle: the terminal
// in flight is disconnected (or its connect given up), its block ends with
// the stop line, "* End *" closes the log, and the exit status is the signal's.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "termsim/simulator_process.h"
#include "tests/cli/cli_process.h"
#include "tests/cli/summary_row.h"
#include "tests/support/temp_folder.h"

TEST(CliStop, ASignalStopsTheCycleCleanlyAndEndsTheProcessAsTheSignalWould) {
  struct Case {
    int signal;
    int exitCode;
  };
  for (const Case& c : {Case{SIGINT, 130}, Case{SIGTERM, 143}}) {
    SCOPED_TRACE(c.signal);
    TempFolder folder;
    // The terminal answers the first record only, then falls silent.
    SimulatorProcess simulator({"--listen", "127.0.0.2:0", "--drop-after", "1"});
    folder.Write("Orlent.ini", "[Terminal]\r\nTerminalPort=" + std::to_string(simulator.port()) +
                                   "\r\nTerminalNums=2\r\nTerminalIP_1=127.0.0.2\r\n"
                                   "TerminalChecked_1=1\r\nTerminalIP_2=127.0.0.3\r\n"
                                   "TerminalChecked_2=1\r\n");
    folder.Write("PLU-Down-Default.txt",
                 "1\t1\t0\tApples\t249\t0\t1\t0\t0\r\n"
                 "1\t2\t0\tPears\t199\t0\t1\t0\t0\r\n");
    bool signalled = false;
    const ProcessResult run = RunProcess(
        ORLENT_CLI_PATH,
        {"--folder", folder.path(), "send", "--pause-ms", "0", "--answer-timeout-ms", "60000"},
        folder.path(), {}, std::chrono::seconds(60), [&](pid_t pid, const std::string& out) {
          if (!signalled && out.find("- Success Connect 127.0.0.2\n") != std::string::npos) {
            signalled = true;
            kill(pid, c.signal);
          }
        });
    EXPECT_TRUE(signalled);
    EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
    // The signal may come before or after the second record went out.
    std::string out = run.out;
    const std::size_t count = out.find("- Success to Send Plu (");
    ASSERT_NE(count, std::string::npos) << out;
    EXPECT_TRUE(out.compare(count, 26, "- Success to Send Plu (1)\n") == 0 ||
                out.compare(count, 26, "- Success to Send Plu (2)\n") == 0)
        << out;
    out.erase(count, 26);
    EXPECT_EQ(out,
              "Orlent V3.0.0.0\n\n- Success Connect 127.0.0.2\n"
              "- Success to Disconect 127.0.0.2\n- Stopped 127.0.0.2\n\n* End *\n");
    EXPECT_NE(run.err.find("127.0.0.2"), std::string::npos) << run.err;
  }
}

// A terminal that takes the connection and never greets holds a connect for
// its three attempts of 5 s; a stop gives the attempts up at once.
TEST(CliStop, ASignalWhileAConnectWaitsForTheGreetingEndsTheRunWithTheStopLines) {
  for (const int signal : {SIGINT, SIGTERM}) {
    SCOPED_TRACE(signal);
    TempFolder folder;
    const int silent = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in where{};
    where.sin_family = AF_INET;
    inet_pton(AF_INET, "127.0.0.5", &where.sin_addr);
    ASSERT_EQ(bind(silent, reinterpret_cast<sockaddr*>(&where), sizeof where), 0);
    ASSERT_EQ(listen(silent, 8), 0);
    socklen_t size = sizeof where;
    getsockname(silent, reinterpret_cast<sockaddr*>(&where), &size);
    folder.Write("Orlent.ini",
                 "[Terminal]\r\nTerminalPort=" + std::to_string(ntohs(where.sin_port)) +
                     "\r\nTerminalNums=2\r\nTerminalIP_1=127.0.0.5\r\n"
                     "TerminalChecked_1=1\r\nTerminalIP_2=127.0.0.6\r\n"
                     "TerminalChecked_2=1\r\n");
    folder.Write("PLU-Down-Default.txt", "1\t1\t0\tApples\t249\t0\t1\t0\t0\r\n");
    bool signalled = false;
    // The limit is a hang guard, not a speed goal: the attempts alone would
    // take 15 s.
    const ProcessResult run =
        RunProcess(ORLENT_CLI_PATH, {"--folder", folder.path(), "send", "--pause-ms", "0"},
                   folder.path(), {}, std::chrono::seconds(10), [&](pid_t pid, const std::string&) {
                     pollfd caller{silent, POLLIN, 0};
                     if (signalled || poll(&caller, 1, 5000) != 1) return;
                     signalled = true;
                     kill(pid, signal);
                   });
    close(silent);
    EXPECT_TRUE(signalled);
    EXPECT_EQ(run.exitCode, 128 + signal) << run.err;
    EXPECT_EQ(run.out,
              "Orlent V3.0.0.0\n\n- Fail Connect 127.0.0.5\n- Stopped 127.0.0.5\n\n* End *\n");
    // The connect given up is the stop's, not the terminal's fault.
    EXPECT_EQ(RowOf(run.err, "127.0.0.5").outcome, "stopped") << run.err;
    EXPECT_EQ(RowOf(run.err, "127.0.0.6").outcome, "not served") << run.err;
  }
}
