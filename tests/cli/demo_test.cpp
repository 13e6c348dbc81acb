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

// A port that was free on loopback a moment ago, for the demo's three
// terminals. Another program may take it before the demo binds it; the
// demo then says its simulator did not start, and the test tries again.
int RecentlyFreePort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(0x7F000002);
  bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  socklen_t length = sizeof address;
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  close(fd);
  return ntohs(address.sin_port);
}

// Runs the demo with a state folder of its own, on a fresh port until its
// simulator could listen (three tries). The first run may install and build.
ProcessResult RunDemo() {
  ProcessResult run;
  for (int attempt = 0; attempt < 3; ++attempt) {
    TempFolder state;
    run = RunProcess(
        ORLENT_SOURCE_DIR "/run", {}, ORLENT_SOURCE_DIR,
        {"DISPLAY=", "WAYLAND_DISPLAY=", "ORLENT_PAUSE_MS=0", "ORLENT_STATE=" + state.path(),
         "ORLENT_DEMO_PORT=" + std::to_string(RecentlyFreePort())},
        1200s);
    if (run.err.find("the terminal simulator did not start") == std::string::npos) break;
  }
  return run;
}

TEST(Demo, RunShowsTheProductWorkingWithoutADisplay) {
  const ProcessResult run = RunDemo();
  EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
  EXPECT_NE(run.out.find("- Complete Send Plu (Total : 36)"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("* End *"), std::string::npos);
  EXPECT_NE(
      run.out.find("Records stored on terminal 127.0.0.4:\n  1\t1\t1\tApples Braeburn\t249\t"),
      std::string::npos)
      << run.out;
}

}  // namespace
