// orlent-cli fleet-report over summaries of every kind of run, as head office
// fetches them from its shops: new ones that name what ran, their shop and
// their terminals, and older ones without; and input that is not a summary.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/cli/cli_process.h"
#include "tests/support/temp_folder.h"

namespace {

using Lines = std::vector<std::string>;

const std::string kTimes =
    "\"started\": \"2026-12-08T23:40:05+01:00\", \"ended\": \"2026-12-08T23:41:00+01:00\", "
    "\"kind\": \"plu\", \"file\": \"/srv/PLU-Down.txt\", \"records\": 10, ";

std::string Send(const std::string& fields, const std::string& terminals) {
  return "{" + kTimes + fields + "\"terminals\": [" + terminals + "]}\n";
}

std::string Sent(const std::string& address, const std::string& outcome, int acknowledged,
                 int unchanged) {
  return "{\"address\": \"" + address + "\", \"outcome\": \"" + outcome +
         "\", \"acknowledged\": " + std::to_string(acknowledged) +
         ", \"sent\": 10, \"unchanged\": " + std::to_string(unchanged) +
         ", \"deleted\": 0, \"seconds\": 0.250, \"failure\": null}";
}

std::string Verified(const std::string& address, const std::string& outcome, int same,
                     int different, int missing, const std::string& more = "") {
  return "{\"address\": \"" + address + "\", \"outcome\": \"" + outcome +
         "\", \"same\": " + std::to_string(same) + ", \"different\": " + std::to_string(different) +
         ", \"missing\": " + std::to_string(missing) +
         ", \"extra\": 0, \"unseen\": 0, \"unlisted\": 0, \"differences\": [], "
         "\"unproven\": null, \"failure\": null" +
         more + "}";
}

const std::string kTotals = "\"totals\": {\"terminals\": 1}, ";

// The CSV's records, without their CR LF.
Lines Records(const std::string& csv) {
  Lines records;
  std::istringstream in(csv);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    records.push_back(line);
  }
  return records;
}

class FleetReport : public ::testing::Test {
 protected:
  void Write(const std::string& name, const std::string& json) {
    std::filesystem::create_directories(std::filesystem::path(folder.File(name)).parent_path());
    folder.Write(name, json);
  }
  ProcessResult Report(Lines summaries) {
    summaries.insert(summaries.begin(), {"fleet-report", "--csv", folder.File("report.csv"),
                                         "--html", folder.File("report.html")});
    return RunProcess(ORLENT_CLI_PATH, summaries, folder.path());
  }
  TempFolder folder;
};

TEST_F(FleetReport, ListsEveryTerminalOfEveryRunTheFailedAndDifferingFirst) {
  const struct {
    std::string file;
    std::string json;
  } summaries[] = {
      {"north/runs/send.json",
       Send("\"ran\": \"send\", \"shop\": \"North <&> \\\"1\\\"\", ",
            Sent("127.0.1.2", "sent", 10, 0).insert(1, "\"name\": \"Deli, left\", ") + ", " +
                Sent("127.0.1.3", "connect failed: connection refused", 0, 0)
                    .insert(1, "\"name\": null, "))},
      // Older summaries: what ran told from their fields.
      {"north/runs/changes.json", Send("", Sent("127.0.1.2", "sent", 2, 8))},
      {"south/verify.json", Send(kTotals, Verified("127.0.2.2", "different", 7, 2, 1) + ", " +
                                              Verified("127.0.2.3", "not proven", 9, 0, 0))},
      {"south/repair.json", Send(kTotals, Verified("127.0.2.2", "same", 10, 0, 0,
                                                   ", \"repair\": {\"before\": "
                                                   "\"different\", \"outcome\": \"sent\"}"))},
      {"south/upload.json",
       Send("",
            "{\"address\": \"127.0.2.4\", \"outcome\": \"timed out\", \"records\": 5, "
            "\"seconds\": 1.0, \"file\": null, \"failure\": \"timed out\"}")},
      {"south/.verify.json.tmp.json", "half a file"},
      {"south/notes.txt", "not a summary"},
  };
  for (const auto& s : summaries) Write(s.file, s.json);

  // A summary named again, beside its folder, is read once.
  const ProcessResult run =
      Report({folder.File("south"), folder.File("north/runs/send.json"),
              folder.File("north/runs/changes.json"), folder.File("south/verify.json")});
  EXPECT_EQ(run.exitCode, 1) << run.err;
  const std::string south = folder.File("south/");
  const std::string north = folder.File("north/runs/");
  const Lines expected = {
      "state,shop,terminal,address,ran,outcome,records,differences,when,summary",
      "failed,,,127.0.2.4,receive,timed out,5,,2026-12-08T23:41:00+01:00," + south + "upload.json",
      "failed,\"North <&> \"\"1\"\"\",,127.0.1.3,send,connect failed: connection refused,0,,"
      "2026-12-08T23:41:00+01:00," +
          north + "send.json",
      "differs,,,127.0.2.2,verification,different,7,3,2026-12-08T23:41:00+01:00," + south +
          "verify.json",
      "not proven,,,127.0.2.3,verification,not proven,9,0,2026-12-08T23:41:00+01:00," + south +
          "verify.json",
      "ok,,,127.0.2.2,repair,same,10,0,2026-12-08T23:41:00+01:00," + south + "repair.json",
      "ok,,,127.0.1.2,changes send,sent,2,,2026-12-08T23:41:00+01:00," + north + "changes.json",
      "ok,\"North <&> \"\"1\"\"\",\"Deli, left\",127.0.1.2,send,sent,10,,"
      "2026-12-08T23:41:00+01:00," +
          north + "send.json",
  };
  EXPECT_EQ(Records(folder.Read("report.csv")), expected);
  EXPECT_NE(run.out.find("7 terminals: 2 failed, 1 differs, 1 not proven, 3 ok\n"),
            std::string::npos)
      << run.out;

  const std::string html = folder.Read("report.html");
  EXPECT_NE(html.find("<td>North &lt;&amp;&gt; &quot;1&quot;</td><td>Deli, left</td>"),
            std::string::npos)
      << html;
  EXPECT_EQ(html.find("North <"), std::string::npos) << "escaped";
  for (const char* fetched : {"<script", "src=", "href=", "url(", "@import"}) {
    EXPECT_EQ(html.find(fetched), std::string::npos) << fetched;
  }
}

TEST_F(FleetReport, ExitsOneForAnyTerminalNotFineAndTwoForWhatIsNoSummary) {
  const struct {
    std::string name;
    std::string json;
    int exitCode;
    std::string error;
  } cases[] = {
      {"every terminal fine", Send("", Sent("127.0.1.2", "sent", 10, 0)), 0, ""},
      {"a send that stopped", Send("", Sent("127.0.1.2", "stopped", 4, 0)), 1, ""},
      {"a verification that differs", Send(kTotals, Verified("127.0.1.2", "different", 9, 1, 0)), 1,
       ""},
      {"bad JSON", "{\"terminals\": [],}", 2, "line 1, column 18: a key in double quotes"},
      {"not an object", "[]", 2, "not a JSON object"},
      {"no terminals", "{\"ran\": \"send\"}", 2, "no \"terminals\""},
      {"an unknown run", Send("\"ran\": \"sale\", ", ""), 2, "\"ran\" is not send"},
      {"a shop that is no text", Send("\"shop\": 7, ", ""), 2, "\"shop\" is not a text"},
      {"a terminal without address", Send("", "{\"outcome\": \"sent\", \"acknowledged\": 1}"), 2,
       "terminals[0]: no \"address\""},
      {"a count that is no count", Send("", Sent("127.0.1.2", "sent", -1, 0)), 2,
       "terminals[0]: \"acknowledged\" is not a count of records"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(folder.File("report.csv"));
    Write("summary.json", c.json);
    const ProcessResult run = Report({folder.File("summary.json")});
    EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
    if (c.exitCode == 2) {
      EXPECT_NE(run.err.find("ERROR: " + folder.File("summary.json") + ": " + c.error),
                std::string::npos)
          << run.err;
      EXPECT_FALSE(std::filesystem::exists(folder.File("report.csv"))) << "nothing written";
    }
  }
  Write("summary.json", Send("", Sent("127.0.1.2", "sent", 10, 0)));
  const std::string unwritable = folder.File("missing/report.csv");
  const ProcessResult refused = RunProcess(
      ORLENT_CLI_PATH, {"fleet-report", "--csv", unwritable, folder.File("summary.json")});
  EXPECT_EQ(refused.exitCode, 2);
  EXPECT_NE(refused.err.find("ERROR: cannot write " + unwritable), std::string::npos)
      << refused.err;
  std::filesystem::create_directory(folder.File("empty"));
  for (const std::string& missing : {folder.File("empty"), folder.File("none.json")}) {
    const ProcessResult run = Report({missing});
    EXPECT_EQ(run.exitCode, 2) << missing;
    EXPECT_NE(run.err.find("ERROR: "), std::string::npos) << run.err;
  }
}

}  // namespace
