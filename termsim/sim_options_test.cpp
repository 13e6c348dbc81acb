#include "termsim/sim_options.h"

#include <gtest/gtest.h>

namespace {

std::optional<SimOptions> Parse(std::vector<std::string> args, int& exitCode) {
  args.insert(args.begin(), "orlent-termsim");
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  return ParseSimOptions(static_cast<int>(argv.size()), argv.data(), exitCode);
}

TEST(SimOptions, ListenAddressesAreNumericWithAPort) {
  std::string error;
  auto v4 = ParseListenAddress("127.0.0.2:0", error);
  ASSERT_TRUE(v4);
  EXPECT_EQ("127.0.0.2", v4->address);
  EXPECT_EQ(0, v4->port);
  auto v6 = ParseListenAddress("[::1]:20404", error);
  ASSERT_TRUE(v6);
  EXPECT_EQ("::1", v6->address);
  EXPECT_EQ(20404, v6->port);
  for (const char* bad : {"localhost:20404", "127.0.0.1", "127.0.0.1:", "127.0.0.1:65536",
                          "127.0.0.1:+5", "127.0.0.1:5x", "127.0.0.300:1"}) {
    EXPECT_FALSE(ParseListenAddress(bad, error)) << bad;
    EXPECT_NE(std::string::npos, error.find(bad)) << error;
  }
}

TEST(SimOptions, DefaultsAndFaults) {
  int exitCode = -1;
  auto options = Parse({}, exitCode);
  ASSERT_TRUE(options);
  ASSERT_EQ(1u, options->listen.size());
  EXPECT_EQ("127.0.0.1", options->listen[0].address);
  EXPECT_EQ(20404, options->listen[0].port);
  EXPECT_EQ(3334u, options->capacity);
  EXPECT_FALSE(options->faults.endAfter);

  options =
      Parse({"--end-after", "3", "--end-with", "65535", "--drop-after", "0", "--delay-ms", "5"},
            exitCode);
  ASSERT_TRUE(options);
  EXPECT_EQ(3u, *options->faults.endAfter);
  EXPECT_EQ(65535u, options->faults.endWith);
  EXPECT_EQ(0u, *options->faults.dropAfter);
  EXPECT_EQ(5u, options->faults.delayMs);
}

TEST(SimOptions, MistakesAreRefused) {
  std::vector<std::vector<std::string>> mistakes = {
      {"--listen", "127.0.0.2:0", "--listen", "127.0.0.2:5000"},  // one address, one terminal
      {"--end-with", "95"},                                       // without --end-after
      {"--end-after", "2", "--end-with", "42"},
      {"--dump", "127.0.0.2", "--kind", "plu"},  // without --store
      {"--dump", "127.0.0.2", "--store", "x"},   // without --kind
      {"--dump", "terminal", "--store", "x", "--kind", "plu"},
      {"--dump", "127.0.0.2", "--store", "x", "--kind", "reporttime"},
      {"--capacity", "-1"},
      {"--end-after", "-1"},
      {"--drop-after", "2x"},
      {"--delay-ms", "5000000000"},
      {"--frobnicate"},
  };
  for (const auto& args : mistakes) {
    int exitCode = 0;
    EXPECT_FALSE(Parse(args, exitCode)) << args[0];
    EXPECT_NE(0, exitCode) << args[0];
  }
}

}  // namespace
