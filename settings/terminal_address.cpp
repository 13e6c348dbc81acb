#include "settings/terminal_address.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <algorithm>
#include <cctype>

std::string TerminalIdentity(const std::string& address) {
  char text[INET6_ADDRSTRLEN] = {};
  in_addr v4{};
  if (inet_pton(AF_INET, address.c_str(), &v4) == 1) {
    return inet_ntop(AF_INET, &v4, text, sizeof text);
  }
  in6_addr v6{};
  if (inet_pton(AF_INET6, address.c_str(), &v6) == 1) {
    if (IN6_IS_ADDR_V4MAPPED(&v6)) {
      std::copy_n(v6.s6_addr + 12, 4, reinterpret_cast<unsigned char*>(&v4));
      return inet_ntop(AF_INET, &v4, text, sizeof text);
    }
    return inet_ntop(AF_INET6, &v6, text, sizeof text);
  }
  std::string name = address;
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return name;
}
