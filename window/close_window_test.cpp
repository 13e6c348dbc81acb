// Closing the window while a connect waits for a terminal that accepted and
// never greets: the window and its loop go at once, while the link library
// is still waiting for the greeting, instead of after its attempts.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QAction>
#include <cerrno>
#include <memory>
#include <optional>
#include <string>

#include "link/link_library.h"
#include "tests/support/temp_folder.h"
#include "window/main_window.h"
#include "window/qt_event_loop.h"
#include "window/window_fixture.h"

namespace {

// A terminal that takes connections on 127.0.0.2 and says nothing.
class SilentTerminal {
 public:
  SilentTerminal() : fd_(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(0x7F000002);
    socklen_t size = sizeof address;
    if (bind(fd_, reinterpret_cast<sockaddr*>(&address), size) != 0 || listen(fd_, 8) != 0 ||
        getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
      ADD_FAILURE() << "no listener on 127.0.0.2";
    }
    port_ = ntohs(address.sin_port);
  }
  ~SilentTerminal() { close(fd_); }
  int Port() const { return port_; }
  // Waits for the link library's connection (a generous time-out only
  // against a hang) and takes it; -1 when none came.
  int Accept() {
    pollfd waiting{fd_, POLLIN, 0};
    if (poll(&waiting, 1, 20000) != 1) return -1;
    return accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
  }

 private:
  int fd_;
  int port_ = 0;
};

bool StillOpen(int connection) {
  char byte;
  return recv(connection, &byte, 1, MSG_DONTWAIT) < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
}

}  // namespace

TEST(WindowClose, DoesNotWaitForAConnectInFlight) {
  EnsureApplication();
  std::string error;
  const std::optional<LinkLibrary> link = BindLinkLibrary(TERMLINK_PATH, error);
  ASSERT_TRUE(link) << error;
  SilentTerminal terminal;
  TempFolder folder;
  folder.Write("Orlent.ini", "[Terminal]\r\nTerminalPort=" + std::to_string(terminal.Port()) +
                                 "\r\nTerminalNums=1\r\nTerminalIP_1=127.0.0.2\r\n"
                                 "TerminalChecked_1=1\r\n");
  ModalAnswerer operatorStandIn;
  auto loop = std::make_unique<QtEventLoop>();
  auto window = std::make_unique<MainWindow>(*loop, *link, folder.File("orlent"));
  ASSERT_TRUE(window->Start());
  window->show();
  window->Model().Serve("127.0.0.2");
  window->Actions().ConnectAction->trigger();
  const int connection = terminal.Accept();
  ASSERT_GE(connection, 0) << "the library did not connect";

  window->close();
  window.reset();
  loop.reset();
  // The library gives an attempt up by closing its connection: it is still
  // waiting, so the close did not wait for it.
  EXPECT_TRUE(StillOpen(connection));
  EXPECT_TRUE(operatorStandIn.boxes.empty());
  close(connection);
}
