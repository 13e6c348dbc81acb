#include "text/terminal_port.h"

#include <gtest/gtest.h>

TEST(TerminalPort, TakesDecimalPortsOnly) {
  const struct {
    const char* text;
    std::optional<uint16_t> port;
  } cases[] = {
      {"20404", 20404}, {"1", 1},     {"65535", 65535}, {"00080", 80},  {"0", {}}, {"65536", {}},
      {"70000", {}},    {"-5", {}},   {"+80", {}},      {"abc", {}},    {"", {}},  {" 80", {}},
      {"80 ", {}},      {"0x50", {}}, {"$50", {}},      {"999999", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(ParsePort(c.text), c.port) << "'" << c.text << "'";
}

TEST(TerminalPort, MessageNamesThePort) {
  EXPECT_EQ(BadPortMessage("abc"), "The port 'abc' is not a number from 1 to 65535 !");
}
