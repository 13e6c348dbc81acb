// The metrics file's text: every run's text follows the format's grammar and
// gives each terminal's figures; a terminal that did not succeed keeps the
// last success the former text gave it.
#include "cli/metrics_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/support/prometheus_text.h"

namespace {

TerminalResult Result(const std::string& address, Outcome outcome, uint32_t acknowledged = 0) {
  TerminalResult result;
  result.address = address;
  result.outcome = outcome;
  result.acknowledged = acknowledged;
  result.complete = outcome == Outcome::Received;
  return result;
}

TerminalResult Verified(const std::string& address, Outcome outcome, int same, int different) {
  TerminalResult result = Result(address, outcome);
  result.comparison = RecordComparison{};
  result.comparison->same = same;
  result.comparison->different = different;
  return result;
}

// The value of the sample of `metric` for `address` (empty: the run's own
// sample, which names no terminal); none when it has none.
std::optional<std::string> ValueOf(const PrometheusText& text, const std::string& metric,
                                   const std::string& address) {
  for (const PrometheusSample& sample : text.samples) {
    const auto found = sample.labels.find("address");
    const std::string of = found == sample.labels.end() ? "" : found->second;
    if (sample.name == metric && of == address) return sample.value;
  }
  return std::nullopt;
}

const char* const kLastSuccess = "orlent_terminal_last_success_timestamp_seconds";

}  // namespace

TEST(MetricsText, EveryRunFollowsTheGrammarAndGivesEachTerminalsFigures) {
  TerminalResult changed = Result("127.0.0.2", Outcome::Sent, 3);
  changed.unchanged = 7;
  TerminalResult repairSend = Result("127.0.0.3", Outcome::Sent, 2);
  const struct {
    RunNames names;
    CycleKind cycle;
    std::vector<TerminalResult> results;
    const TerminalResult* repair;  // of 127.0.0.3
    const char* address;
    const char* metric;
    std::optional<std::string> value;  // none: no sample
  } runs[] = {
      {{"changes send", "Market \"Street\"\\1\n", {{"127.0.0.2", "Deli \xE9"}}},
       CycleKind::Send,
       {changed, Result("127.0.0.3", Outcome::Failed)},
       nullptr,
       "127.0.0.2",
       "orlent_terminal_records_held",
       "10"},
      {{"send", "", {}},
       CycleKind::Send,
       {changed},
       nullptr,
       "127.0.0.2",
       "orlent_terminal_records_sent",
       "3"},
      {{"send", "", {}},
       CycleKind::Send,
       {Result("127.0.0.3", Outcome::Failed)},
       nullptr,
       "127.0.0.3",
       "orlent_terminal_succeeded",
       "0"},
      {{"send", "", {}},
       CycleKind::Send,
       {Result("127.0.0.3", Outcome::Failed)},
       nullptr,
       "127.0.0.3",
       kLastSuccess,
       std::nullopt},
      {{"verification", "Corner", {}},
       CycleKind::Verify,
       {Verified("127.0.0.2", Outcome::Same, 5, 0), Verified("127.0.0.3", Outcome::Differs, 4, 1)},
       nullptr,
       "127.0.0.3",
       "orlent_terminal_differs",
       "1"},
      {{"verification", "", {}},
       CycleKind::Verify,
       {Result("127.0.0.3", Outcome::Failed)},
       nullptr,
       "127.0.0.3",
       "orlent_terminal_differs",
       std::nullopt},
      {{"repair", "", {}},
       CycleKind::Verify,
       {Verified("127.0.0.3", Outcome::Same, 5, 0)},
       &repairSend,
       "127.0.0.3",
       "orlent_terminal_records_sent",
       "2"},
      {{"receive", "", {}},
       CycleKind::Receive,
       {Result("127.0.0.2", Outcome::Received, 9), Result("127.0.0.3", Outcome::Failed, 4)},
       nullptr,
       "127.0.0.3",
       "orlent_terminal_records_held",
       std::nullopt},
      {{"receive", "", {}},
       CycleKind::Receive,
       {Result("127.0.0.2", Outcome::Received, 9)},
       nullptr,
       "127.0.0.2",
       kLastSuccess,
       "1796895751"},
  };
  for (const auto& r : runs) {
    SCOPED_TRACE(r.names.ran + " " + r.metric + " " + r.address);
    RunFigures run{r.names, "plu", 1796895751, 12.5, {}};
    for (const TerminalResult& result : r.results)
      run.terminals.push_back(FiguresOf(r.cycle, result, r.repair));
    const std::string text = MetricsText(run, "");
    const PrometheusText parsed = ParsePrometheusText(text);
    ASSERT_EQ(parsed.error, "") << text;
    EXPECT_EQ(ValueOf(parsed, r.metric, r.address), r.value) << text;
    EXPECT_EQ(parsed.types.at("orlent_run_duration_seconds"), "gauge");
    EXPECT_EQ(ValueOf(parsed, "orlent_run_duration_seconds", ""), "12.500");
    EXPECT_EQ(ValueOf(parsed, "orlent_run_end_timestamp_seconds", ""), "1796895751");
    for (const PrometheusSample& sample : parsed.samples) {
      EXPECT_EQ(sample.labels.at("ran"), r.names.ran);
      EXPECT_EQ(sample.labels.contains("shop") ? sample.labels.at("shop") : "", r.names.shop);
    }
    if (r.names.terminals.empty()) continue;
    EXPECT_NE(text.find("name=\"Deli \xC3\xA9\""), std::string::npos) << "Latin-1 made UTF-8";
  }
}

TEST(MetricsText, ATerminalThatDidNotSucceedKeepsItsLastSuccessOfTheSameRun) {
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
  const std::string text = MetricsText(second, previous);
  const PrometheusText parsed = ParsePrometheusText(text);
  ASSERT_EQ(parsed.error, "") << text;
  for (const auto& t : terminals) {
    SCOPED_TRACE(t.address);
    EXPECT_EQ(ValueOf(parsed, kLastSuccess, t.address), t.lastSuccess);
  }
  // Of another kind, nothing is carried over.
  second.kind = "barcode";
  EXPECT_EQ(ValueOf(ParsePrometheusText(MetricsText(second, previous)), kLastSuccess, "127.0.0.3"),
            std::nullopt);
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
    SCOPED_TRACE(t.text);
    EXPECT_TRUE(ParsePrometheusText(t.text).error.starts_with(t.error))
        << ParsePrometheusText(t.text).error;
  }
  EXPECT_EQ(ParsePrometheusText("# TYPE a gauge\na{b=\"x\\\"\\n\",} -Inf\n\n").error, "");
}
