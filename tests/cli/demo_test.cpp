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

// A free TCP port on loopback, for the demo's three terminals.
int FreePort() {
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

TEST(Demo, RunShowsTheProductWorkingWithoutADisplay) {
  TempFolder state;
  ProcessResult run = RunProcess(
      ORLENT_SOURCE_DIR "/run", {}, ORLENT_SOURCE_DIR,
      {"DISPLAY=", "WAYLAND_DISPLAY=", "ORLENT_PAUSE_MS=0", "ORLENT_STATE=" + state.path(),
       "ORLENT_DEMO_PORT=" + std::to_string(FreePort())});
  EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
  EXPECT_NE(run.out.find("- Complete Send Plu (Total : 36)"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("* End *"), std::string::npos);
  EXPECT_NE(
      run.out.find("Records stored on terminal 127.0.0.4:\n  1\t1\t1\tApples Braeburn\t249\t"),
      std::string::npos)
      << run.out;
}

}  // namespace
