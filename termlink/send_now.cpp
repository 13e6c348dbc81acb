#include "termlink/send_now.h"

#include <sys/socket.h>

#include <cerrno>
#include <cstring>

namespace termlink {

size_t SendNow(int fd, std::span<const uint8_t> bytes, std::string& error) {
  size_t sent = 0;
  while (sent < bytes.size()) {
    ssize_t n = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n > 0) {
      sent += static_cast<size_t>(n);
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else {
      if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) error = std::strerror(errno);
      break;
    }
  }
  return sent;
}

}  // namespace termlink
