// The terminal an address stands for, however it is written.
#include "settings/terminal_address.h"

#include <gtest/gtest.h>

namespace {

TEST(TerminalIdentity, EachSpellingOfOneAddressIsOneTerminal) {
  struct Case {
    const char* address;
    const char* terminal;
  };
  const Case cases[] = {
      {"127.0.0.10", "127.0.0.10"},
      {"::ffff:127.0.0.10", "127.0.0.10"},
      {"::FFFF:7f00:000a", "127.0.0.10"},
      {"0:0:0:0:0:ffff:127.0.0.10", "127.0.0.10"},
      {"::1", "::1"},
      {"0000:0000:0000:0000:0000:0000:0000:0001", "::1"},
      {"FE80:0:0:0:0:0:0:1", "fe80::1"},
      {"::7f00:a", "::127.0.0.10"},  // IPv4-compatible, not mapped: another address
      {"Till-3.Shop", "till-3.shop"},
      {"127.0.0.010", "127.0.0.010"},  // no address: a name, taken as written
      {"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TerminalIdentity(c.address), c.terminal) << c.address;
  }
}

}  // namespace
