// orlent-cli's records of a run for a chain and its monitoring: the JSON
// summaries say what ran, in which shop, and each terminal's name; --metrics
// writes the run in the Prometheus text format, and a terminal that did not
// succeed keeps the last success the file held.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "termsim/simulator_process.h"
#include "tests/cli/cli_process.h"
#include "tests/support/prometheus_text.h"
#include "tests/support/temp_folder.h"

namespace {

using Lines = std::vector<std::string>;

// The sample of `metric` for the terminal at `address`, or none.
std::optional<PrometheusSample> SampleOf(const PrometheusText& text, const std::string& metric,
                                         const std::string& address) {
  for (const PrometheusSample& sample : text.samples) {
    if (sample.name == metric && sample.labels.at("address") == address) return sample;
  }
  return std::nullopt;
}

constexpr const char* kSucceeded = "orlent_terminal_succeeded";
constexpr const char* kLastSuccess = "orlent_terminal_last_success_timestamp_seconds";

// 127.0.0.2 is simulated and named; nothing listens at 127.0.0.3.
class CliMetrics : public ::testing::Test {
 protected:
  void SetUp() override {
    folder.Write("Orlent.ini", "[Terminal]\r\nTerminalPort=" + std::to_string(simulator.port()) +
                                   "\r\nTerminalNums=2\r\nTerminalIP_1=127.0.0.2\r\n"
                                   "TerminalChecked_1=1\r\nTerminalIP_2=127.0.0.3\r\n"
                                   "TerminalChecked_2=1\r\n[TerminalNames]\r\n"
                                   "127.0.0.2=Deli counter\r\n[Shop]\r\nName=Corner\r\n");
    folder.Write("PLU-Down.txt", "1\t1\t0\tApples\t249\t0\t1\t0\t0\r\n");
  }
  // `global` before the command, then `command` with the kind, no pause and
  // both records.
  ProcessResult Run(Lines global, const Lines& command) {
    global.insert(global.begin(), {"--folder", folder.path()});
    global.insert(global.end(), command.begin(), command.end());
    global.insert(global.end(), {"--kind", "plu", "--pause-ms", "0", "--summary-json",
                                 folder.File("run.json"), "--metrics", folder.File("run.prom")});
    return RunProcess(ORLENT_CLI_PATH, global, folder.path());
  }
  PrometheusText Metrics() const {
    const PrometheusText text = ParsePrometheusText(folder.Read("run.prom"));
    EXPECT_EQ(text.error, "") << folder.Read("run.prom");
    return text;
  }

  TempFolder folder;
  SimulatorProcess simulator{{"--listen", "127.0.0.2:0"}};
};

}  // namespace

TEST_F(CliMetrics, EverySummaryAndMetricsFileSaysWhatRanInWhichShopAndTheTerminalsNames) {
  const std::string received = folder.File("received");
  const struct {
    Lines global;
    Lines command;
    const char* ran;
    const char* shop;  // as JSON
  } runs[] = {
      {{}, {"send"}, "send", "\"Corner\""},
      {{"--shop", "Market \"Street\""},
       {"send", "--changes"},
       "changes send",
       "\"Market \\\"Street\\\"\""},
      {{}, {"verify"}, "verification", "\"Corner\""},
      {{"--shop", ""}, {"verify", "--repair"}, "repair", "null"},
      {{}, {"upload", "--terminal", "all", "--out-dir", received}, "receive", "\"Corner\""},
  };
  for (const auto& r : runs) {
    SCOPED_TRACE(r.ran);
    std::filesystem::remove(folder.File("run.prom"));
    const ProcessResult run = Run(r.global, r.command);
    EXPECT_EQ(run.exitCode, 1) << run.err;  // 127.0.0.3 failed
    const std::string json = folder.Read("run.json");
    EXPECT_NE(
        json.find("\n  \"ran\": \"" + std::string(r.ran) + "\",\n  \"shop\": " + r.shop + ",\n"),
        std::string::npos)
        << json;
    EXPECT_NE(json.find("\"failure\": null, \"name\": \"Deli counter\""), std::string::npos)
        << json;
    EXPECT_NE(json.find("connection refused\", \"name\": null"), std::string::npos);

    const PrometheusText metrics = Metrics();
    const auto served = SampleOf(metrics, kSucceeded, "127.0.0.2");
    ASSERT_TRUE(served) << folder.Read("run.prom");
    EXPECT_EQ(served->value, "1");
    EXPECT_EQ(served->labels.at("ran"), r.ran);
    EXPECT_EQ(served->labels.at("name"), "Deli counter");
    EXPECT_EQ(served->labels.contains("shop"), std::string(r.shop) != "null");
    EXPECT_EQ(SampleOf(metrics, kSucceeded, "127.0.0.3")->value, "0");
    EXPECT_TRUE(SampleOf(metrics, kLastSuccess, "127.0.0.2"));
    EXPECT_FALSE(SampleOf(metrics, kLastSuccess, "127.0.0.3"));
  }
}

TEST_F(CliMetrics, AVerificationThatFindsADifferenceKeepsTheLastSuccessTheFileHeld) {
  ASSERT_EQ(Run({}, {"send"}).exitCode, 1);
  ASSERT_EQ(Run({}, {"verify"}).exitCode, 1);
  const auto verified = SampleOf(Metrics(), kLastSuccess, "127.0.0.2");
  ASSERT_TRUE(verified);
  folder.Write("PLU-Down.txt", "1\t1\t0\tApples\t259\t0\t1\t0\t0\r\n");
  ASSERT_EQ(Run({}, {"verify"}).exitCode, 1);
  const PrometheusText metrics = Metrics();
  EXPECT_EQ(SampleOf(metrics, "orlent_terminal_differs", "127.0.0.2")->value, "1");
  EXPECT_EQ(SampleOf(metrics, kSucceeded, "127.0.0.2")->value, "0");
  EXPECT_EQ(SampleOf(metrics, kLastSuccess, "127.0.0.2")->value, verified->value);
}

TEST_F(CliMetrics, AMetricsFileThatCannotBeWrittenRefusesTheRunBeforeAnyTerminalIsContacted) {
  const std::string path = folder.File("missing/run.prom");
  for (const Lines& command :
       {Lines{"send"}, Lines{"verify"}, Lines{"upload", "--terminal", "all"}}) {
    SCOPED_TRACE(command.front());
    Lines args = {"--folder", folder.path()};
    args.insert(args.end(), command.begin(), command.end());
    args.insert(args.end(), {"--kind", "plu", "--metrics", path});
    const ProcessResult run = RunProcess(ORLENT_CLI_PATH, args, folder.path());
    EXPECT_EQ(run.exitCode, 2) << run.err;
    EXPECT_NE(run.err.find("ERROR: cannot write the metrics to " + path + ": "), std::string::npos)
        << run.err;
    EXPECT_EQ(run.out.find("Connect"), std::string::npos) << "no terminal contacted";
  }
  const ProcessResult one = RunProcess(ORLENT_CLI_PATH,
                                       {"--folder", folder.path(), "upload", "--kind", "plu",
                                        "--terminal", "127.0.0.2", "--metrics", path},
                                       folder.path());
  EXPECT_EQ(one.exitCode, 2);
  EXPECT_NE(one.err.find("metrics are written for --terminal all"), std::string::npos) << one.err;
}
