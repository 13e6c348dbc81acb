// The metrics file's text: it follows the format's grammar and gives each
// terminal's figures; a terminal that did not succeed keeps the last success
// the former text gave it.
#include "cli/metrics_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "tests/support/prometheus_text.h"

namespace {

const char* const kLastSuccess = "orlent_terminal_last_success_timestamp_seconds";

// `different` < 0: its records could not be read.
TerminalResult Result(Outcome outcome, uint32_t acknowledged, int same = 0, int different = -1) {
  TerminalResult result;
  result.address = "127.0.0.2";
  result.outcome = outcome;
  result.acknowledged = acknowledged;
  result.unchanged = 7;
  result.complete = outcome == Outcome::Received;
  if (different < 0) return result;
  result.comparison = RecordComparison{};
  result.comparison->same = same;
  result.comparison->different = different;
  return result;
}

// The value of the sample of `metric` for `address` (empty: the run's own
// sample, which names no terminal); none when it has none.
std::optional<std::string> ValueOf(const std::string& text, const std::string& metric,
                                   const std::string& address = "127.0.0.2") {
  const PrometheusText parsed = ParsePrometheusText(text);
  EXPECT_EQ(parsed.error, "") << text;
  for (const PrometheusSample& sample : parsed.samples) {
    const auto found = sample.labels.find("address");
    const std::string of = found == sample.labels.end() ? "" : found->second;
    if (sample.name == metric && of == address) return sample.value;
  }
  return std::nullopt;
}

}  // namespace

TEST(MetricsText, GivesEachTerminalsFiguresInTheFormatsGrammar) {
  const TerminalResult repairSend = Result(Outcome::Sent, 2);
  const struct {
    CycleKind cycle;
    TerminalResult result;
    const char* metric;
    std::optional<std::string> value;  // none: no sample
  } rows[] = {
      {CycleKind::Send, Result(Outcome::Sent, 3), "orlent_terminal_records_sent", "3"},
      {CycleKind::Send, Result(Outcome::Sent, 3), "orlent_terminal_records_held", "10"},
      {CycleKind::Send, Result(Outcome::Sent, 3), kLastSuccess, "1796895751"},
      {CycleKind::Send, Result(Outcome::Failed, 0), "orlent_terminal_succeeded", "0"},
      {CycleKind::Send, Result(Outcome::Failed, 0), kLastSuccess, std::nullopt},
      {CycleKind::Verify, Result(Outcome::Differs, 0, 4, 1), "orlent_terminal_differs", "1"},
      {CycleKind::Verify, Result(Outcome::Same, 0, 5, 0), "orlent_terminal_records_held", "5"},
      {CycleKind::Verify, Result(Outcome::Failed, 0), "orlent_terminal_differs", std::nullopt},
      {CycleKind::Receive, Result(Outcome::Received, 9), "orlent_terminal_records_held", "9"},
      {CycleKind::Receive, Result(Outcome::Failed, 4), "orlent_terminal_records_held",
       std::nullopt},
  };
  const RunNames names{"changes send", "Market \"Street\"\\\n", {{"127.0.0.2", "Deli \xE9"}}};
  for (const auto& r : rows) {
    SCOPED_TRACE("row " + std::to_string(&r - rows));
    const TerminalResult* repair = r.cycle == CycleKind::Verify ? &repairSend : nullptr;
    const RunFigures run{names, "plu", 1796895751, 12.5, {FiguresOf(r.cycle, r.result, repair)}};
    const std::string text = MetricsText(run, "");
    EXPECT_EQ(ValueOf(text, r.metric), r.value) << text;
    EXPECT_EQ(ValueOf(text, "orlent_run_duration_seconds", ""), "12.500");
    EXPECT_NE(text.find("{shop=\"Market \\\"Street\\\"\\\\\\n\",ran=\"changes send\",kind=\"plu\","
                        "address=\"127.0.0.2\",name=\"Deli \xC3\xA9\"}"),
              std::string::npos)
        << "escaped, and Latin-1 made UTF-8";
    if (repair) {
      EXPECT_EQ(ValueOf(text, "orlent_terminal_records_sent"), "2");
    }
  }
}

TEST(MetricsText, ATerminalThatDidNotSucceedKeepsItsLastSuccessOfTheSameRunAndKind) {
  RunFigures first{{"verification", "", {}}, "plu", 1000, 1, {}};
  for (const char* address : {"127.0.0.2", "127.0.0.3"})
    first.terminals.push_back({address, true, 0, 5, false});
  RunFigures send = first;
  send.names.ran = "send";
  send.ended = 1500;
  const std::string previous = MetricsText(first, "") + MetricsText(send, "");
  const struct {
    const char* address;
    bool succeeded;
    std::optional<std::string> lastSuccess;
  } terminals[] = {
      {"127.0.0.2", true, "2000"},         // this run's end
      {"127.0.0.3", false, "1000"},        // the verification's, not the send's
      {"127.0.0.4", false, std::nullopt},  // never a success
  };
  RunFigures second{{"verification", "", {}}, "plu", 2000, 1, {}};
  for (const auto& t : terminals) second.terminals.push_back({t.address, t.succeeded, 0, {}, {}});
  for (const auto& t : terminals) {
    SCOPED_TRACE(t.address);
    EXPECT_EQ(ValueOf(MetricsText(second, previous), kLastSuccess, t.address), t.lastSuccess);
  }
  second.kind = "barcode";
  EXPECT_EQ(ValueOf(MetricsText(second, previous), kLastSuccess, "127.0.0.3"), std::nullopt);
}

TEST(PrometheusTextGrammar, RefusesWhatTheFormatDoesNotAllow) {
  const struct {
    const char* text;
    const char* error;  // the start of its message
  } texts[] = {
      {"a 1", "the last line has no line end"},
      {"a{b=\"1\"} 1\na{b=\"1\"} 2\n", "line 2: a series twice"},
      {"a 1\nb 1\na 2\n", "line 3: the samples of a are not together"},
      {"a 1\n# TYPE a gauge\n", "line 2: TYPE after the samples of a"},
      {"# TYPE a gauge\n# TYPE a gauge\n", "line 2: TYPE twice"},
      {"# TYPE a number\n", "line 1: bad type"},
      {"# HELP a \\t\n", "line 1: bad escape"},
      {"a{b=\"\\t\"} 1\n", "line 1: bad label value"},
      {"a{b=\"1\" c=\"2\"} 1\n", "line 1: labels not separated"},
      {"a{__b=\"1\"} 1\n", "line 1: bad label name"},
      {"1a 1\n", "line 1: bad metric name"},
      {"a one\n", "line 1: bad value"},
      {"a 1 1796895751000\n", "line 1: a timestamp"},
  };
  for (const auto& t : texts) {
    const std::string error = ParsePrometheusText(t.text).error;
    EXPECT_TRUE(error.starts_with(t.error)) << t.text << ": " << error;
  }
  EXPECT_EQ(ParsePrometheusText("# TYPE a gauge\na{b=\"x\\\"\\n\",} -Inf\n\n").error, "");
}
