// The verify summary: its exit status for each kind of run, and the table and
// JSON document of a run with a terminal that matches, one that differs and
// one that could not be read.
#include "cli/verify_summary.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

namespace {

RecordComparison Matching() {
  return {4, 0, 0, 0, {}, 0, 0, "", {}};
}

// Everything read matches, but the terminal ended its records at 65535.
RecordComparison Unproven() {
  return {3, 0, 0, 0, {}, 0, 1, "the terminal ended its records at 65535", {}};
}

RecordComparison Differing() {
  return {2,
          1,
          1,
          1,
          {"PLU 2 price: 199 in the file, 189 on the terminal", "PLU 3: missing on the terminal",
           "PLU 900: only on the terminal"},
          0,
          0,
          "",
          {}};
}

// Each terminal's verdict as the core's result of it.
std::vector<TerminalResult> Judged(const std::vector<TerminalVerification>& verdicts) {
  std::vector<TerminalResult> results;
  for (const TerminalVerification& verdict : verdicts) {
    TerminalState state;
    state.address = verdict.address;
    state.phase = SessionPhase::Disconnected;
    results.push_back(VerifiedResult(state, verdict));
  }
  return results;
}

TEST(VerifySummary, ExitsWithZeroOnlyWhenEveryTerminalHoldsExactlyTheFile) {
  const RecordComparison onlyExtra{4, 0, 0, 1, {"PLU 900: only on the terminal"}, 0, 0, "", {}};
  const struct {
    const char* name;
    std::vector<TerminalVerification> terminals;
    int status;
  } cases[] = {
      {"one that matches", {{"127.0.0.2", "", Matching()}}, 0},
      {"one differs", {{"127.0.0.2", "", Matching()}, {"127.0.0.3", "", Differing()}}, 1},
      {"one holds an extra record", {{"127.0.0.2", "", onlyExtra}}, 1},
      {"one not proven", {{"127.0.0.2", "", Matching()}, {"127.0.0.3", "", Unproven()}}, 1},
      {"one could not be read", {{"127.0.0.2", "", Matching()}, {"127.0.0.3", "timed out", {}}}, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    VerifySummary summary;
    summary.Finish("plu", "/srv/PLU-Down.txt", 4, Judged(c.terminals));
    EXPECT_EQ(summary.ExitStatus(), c.status);
  }
}

std::string Printed(const VerifySummary& summary) {
  std::FILE* file = std::tmpfile();
  summary.Print(file);
  std::rewind(file);
  std::string text;
  for (int c; (c = std::fgetc(file)) != EOF;) text += static_cast<char>(c);
  std::fclose(file);
  return text;
}

TEST(VerifySummary, PrintsATableAndWritesJsonWithEachTerminalsCountsAndDifferences) {
  VerifySummary summary;
  summary.NameRun({"verification", "Corner", {{"127.0.0.3", "Deli \"left\""}}});
  summary.Finish("plu", "/srv/PLU \"new\".txt", 4,
                 Judged({{"127.0.0.2", "", Matching()},
                         {"127.0.0.3", "", Differing()},
                         {"127.0.0.4", "connect failed", {}},
                         {"127.0.0.5", "", Unproven()}}));
  const std::regex time("\"20[0-9-]{8}T[0-9:]{8}[+-][0-9]{2}:[0-9]{2}\"");
  EXPECT_EQ(std::regex_replace(summary.Json(), time, "TIME"),
            "{\n  \"started\": TIME,\n  \"ended\": TIME,\n  \"kind\": \"plu\",\n"
            "  \"file\": \"/srv/PLU \\\"new\\\".txt\",\n  \"records\": 4,\n"
            "  \"ran\": \"verification\",\n  \"shop\": \"Corner\",\n"
            "  \"totals\": {\"terminals\": 4, \"matching\": 1, \"differing\": 1, \"unproven\": 1, "
            "\"failed\": 1, \"same\": 9, \"different\": 1, \"missing\": 1, \"extra\": 1, "
            "\"unseen\": 1},\n"
            "  \"terminals\": [\n"
            "    {\"address\": \"127.0.0.2\", \"outcome\": \"same\", \"same\": 4, "
            "\"different\": 0, \"missing\": 0, \"extra\": 0, \"unseen\": 0, \"unlisted\": 0,\n"
            "     \"differences\": [], \"unproven\": null, \"failure\": null, \"name\": null},\n"
            "    {\"address\": \"127.0.0.3\", \"outcome\": \"different\", \"same\": 2, "
            "\"different\": 1, \"missing\": 1, \"extra\": 1, \"unseen\": 0, \"unlisted\": 0,\n"
            "     \"differences\": [\"PLU 2 price: 199 in the file, 189 on the terminal\", "
            "\"PLU 3: missing on the terminal\", \"PLU 900: only on the terminal\"], "
            "\"unproven\": null, \"failure\": null, \"name\": \"Deli \\\"left\\\"\"},\n"
            "    {\"address\": \"127.0.0.4\", \"outcome\": \"connect failed\", \"same\": 0, "
            "\"different\": 0, \"missing\": 0, \"extra\": 0, \"unseen\": 0, \"unlisted\": 0,\n"
            "     \"differences\": [], \"unproven\": null, \"failure\": \"connect failed\", "
            "\"name\": null},\n"
            "    {\"address\": \"127.0.0.5\", \"outcome\": \"not proven\", \"same\": 3, "
            "\"different\": 0, \"missing\": 0, \"extra\": 0, \"unseen\": 1, \"unlisted\": 0,\n"
            "     \"differences\": [], \"unproven\": \"the terminal ended its records at 65535\", "
            "\"failure\": null, \"name\": null}\n"
            "  ]\n}\n");
  const std::string printed = Printed(summary);
  const std::string table = printed.substr(printed.find('\n') + 1);
  EXPECT_EQ(printed.substr(0, 15), "verify started ");
  EXPECT_EQ(table,
            "terminal             outcome                                same different  missing "
            "   extra\n"
            "127.0.0.2            same                                      4         0        0 "
            "       0\n"
            "127.0.0.3            different                                 2         1        1 "
            "       1\n"
            "  PLU 2 price: 199 in the file, 189 on the terminal\n"
            "  PLU 3: missing on the terminal\n"
            "  PLU 900: only on the terminal\n"
            "127.0.0.4            connect failed\n"
            "127.0.0.5            not proven                                3         0        0 "
            "       0\n"
            "  the terminal ended its records at 65535\n"
            "4 terminals: 1 the same as the file, 1 different, 1 not proven, 1 failed\n");
}

}  // namespace
