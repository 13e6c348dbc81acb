// ./run, the one-command demo, headless: it builds, starts three simulated
// terminals, runs a send cycle with orlent-cli and shows what they stored.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>

#include "tests/cli/cli_process.h"
#include "tests/support/temp_folder.h"

namespace {

using namespace std::chrono_literals;

// A TCP socket bound to a port of 127.0.0.2 that the system picked.
struct LoopbackSocket {
  LoopbackSocket() : fd(socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(0x7F000002);
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
  }
  ~LoopbackSocket() { close(fd); }
  LoopbackSocket(const LoopbackSocket&) = delete;
  LoopbackSocket& operator=(const LoopbackSocket&) = delete;

  int fd;
  int port = 0;
};

// A port that was free on loopback a moment ago, for the demo's three
// terminals. Another program may take it before the demo binds it; the
// demo then says its simulator did not start, and the test tries again.
int RecentlyFreePort() {
  return LoopbackSocket().port;
}

// Runs the demo headless on `port` with the state folder `state`. The first
// run may install and build.
ProcessResult RunDemoOn(const std::string& state, int port) {
  return RunProcess(ORLENT_SOURCE_DIR "/run", {}, ORLENT_SOURCE_DIR,
                    {"DISPLAY=", "WAYLAND_DISPLAY=", "ORLENT_PAUSE_MS=0", "ORLENT_STATE=" + state,
                     "ORLENT_DEMO_PORT=" + std::to_string(port)},
                    1200s);
}

// Runs the demo in `state`, on a fresh port until its simulator could listen
// (three tries).
ProcessResult RunDemo(const std::string& state) {
  ProcessResult run;
  for (int attempt = 0; attempt < 3; ++attempt) {
    run = RunDemoOn(state, RecentlyFreePort());
    if (run.err.find("the terminal simulator did not start") == std::string::npos) break;
  }
  return run;
}

TEST(Demo, RunShowsTheProductWorkingWithoutADisplay) {
  TempFolder state;
  const ProcessResult run = RunDemo(state.path());
  EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
  EXPECT_NE(run.out.find("- Complete Send Plu (Total : 36)"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("* End *"), std::string::npos);
  EXPECT_NE(
      run.out.find("Records stored on terminal 127.0.0.4:\n  1\t1\t1\tApples Braeburn\t249\t"),
      std::string::npos)
      << run.out;
}

// The port the demo's simulated terminals listened on, from its output.
std::string DemoPort(const std::string& out) {
  const std::string prefix = "listening 127.0.0.2:";
  const std::size_t at = out.find(prefix);
  if (at == std::string::npos) return "";
  const std::size_t from = at + prefix.size();
  return out.substr(from, out.find('\n', from) - from);
}

// A second run keeps the settings file of the first, and its terminals
// still answer on the port asked for now.
TEST(Demo, ALaterRunOnAnotherPortSendsThere) {
  TempFolder state;
  const ProcessResult first = RunDemo(state.path());
  ASSERT_EQ(first.exitCode, 0) << first.out << first.err;
  const ProcessResult second = RunDemo(state.path());
  ASSERT_NE(DemoPort(second.out), "") << second.out;
  EXPECT_NE(DemoPort(second.out), DemoPort(first.out));
  EXPECT_EQ(second.exitCode, 0) << second.out << second.err;
  EXPECT_EQ(second.out.find("- Fail Connect"), std::string::npos) << second.out;
  EXPECT_NE(second.out.find("- Complete Send Plu (Total : 36)"), std::string::npos) << second.out;
}

TEST(Demo, ATakenPortIsNamedWithTheWayToChooseAnother) {
  LoopbackSocket taken;
  ASSERT_EQ(listen(taken.fd, 1), 0);
  TempFolder state;
  const ProcessResult run = RunDemoOn(state.path(), taken.port);
  EXPECT_EQ(run.exitCode, 1) << run.out << run.err;
  EXPECT_NE(run.err.find("Port " + std::to_string(taken.port) +
                         " is taken by another program: choose another one with "
                         "ORLENT_DEMO_PORT=N ./run"),
            std::string::npos)
      << run.err;
}

}  // namespace
