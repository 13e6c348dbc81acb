// What each terminal holds, from the command line against orlent-termsim on
// loopback: `send --changes` sends each terminal only what it does not hold,
// passes over one that needs nothing, deletes what the file no longer has;
// `plan` says so beforehand without a terminal; `verify --repair` mends a
// terminal changed behind Orlent's back; `held` lists and forgets; a damaged
// Orlent.db is set aside and the send stays whole.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "termsim/simulator_process.h"
#include "tests/cli/cli_process.h"
#include "tests/cli/summary_row.h"
#include "tests/support/temp_folder.h"

namespace {

using Prices = std::vector<std::pair<int, int>>;  // PLU number, price

std::string PluFile(const Prices& prices) {
  std::string text;
  for (const auto& [number, price] : prices) {
    text += "1\t" + std::to_string(number) + "\t1\tItem " + std::to_string(number) + "\t" +
            std::to_string(price) + "\t2000" + std::to_string(number) + "\t7\t5\t1\r\n";
  }
  return text;
}

const Prices kFirst = {{1, 101}, {2, 102}, {3, 103}, {4, 104}, {5, 105}};
// Two prices changed, one record added.
const Prices kSecond = {{1, 101}, {2, 202}, {3, 103}, {4, 204}, {5, 105}, {6, 106}};

class Held : public ::testing::Test {
 protected:
  Held() { Start({"127.0.0.2:0", "127.0.0.3:0"}); }

  void Start(const std::vector<std::string>& listeners) {
    std::vector<std::string> args = {"--store", folder.File("store")};
    for (const std::string& listener : listeners) args.insert(args.end(), {"--listen", listener});
    simulator = std::make_unique<SimulatorProcess>(args);
    port = simulator->port();
  }

  // The simulator starts again on the same port with every terminal's store wiped.
  void WipeTerminals() {
    simulator->Stop();
    std::filesystem::remove_all(folder.File("store"));
    const std::string on = ":" + std::to_string(port);
    Start({"127.0.0.2" + on, "127.0.0.3" + on});
  }

  void List(const std::vector<std::pair<std::string, bool>>& terminals) {
    std::string ini = "[Terminal]\r\nTerminalPort=" + std::to_string(port) +
                      "\r\nTerminalNums=" + std::to_string(terminals.size()) + "\r\n";
    for (std::size_t i = 0; i < terminals.size(); ++i) {
      const std::string n = std::to_string(i + 1);
      ini += "TerminalIP_" + n + "=" + terminals[i].first + "\r\nTerminalChecked_" + n + "=" +
             (terminals[i].second ? "1" : "0") + "\r\n";
    }
    folder.Write("Orlent.ini", ini);
  }

  ProcessResult Cli(std::vector<std::string> args) {
    args.insert(args.begin(), {"--folder", folder.path()});
    return RunProcess(ORLENT_CLI_PATH, args, folder.path());
  }

  // A PLU send of `prices` with the further `args`.
  ProcessResult Send(const Prices& prices, std::vector<std::string> args = {}) {
    folder.Write("send.txt", PluFile(prices));
    args.insert(args.begin(), {"send", "--kind", "plu", "--file", "send.txt", "--pause-ms", "0"});
    return Cli(args);
  }

  ProcessResult Verify(const Prices& prices, std::vector<std::string> args = {}) {
    folder.Write("verify.txt", PluFile(prices));
    args.insert(args.begin(),
                {"verify", "--kind", "plu", "--file", "verify.txt", "--pause-ms", "0"});
    return Cli(args);
  }

  TempFolder folder;
  std::unique_ptr<SimulatorProcess> simulator;
  int port = 0;
};

// The log of one terminal's changes send of `sent` records and `deleted` deletions.
std::string SentBlock(const std::string& address, const std::string& changes, int sent,
                      int deleted = 0) {
  const std::string deletes =
      deleted ? "- Complete Delete PLU (Total : " + std::to_string(deleted) + ")\n" : "";
  return "\n- Success Connect " + address + "\n" + changes + "\n- Success to Send Plu (" +
         std::to_string(sent) + ")\n- Complete Send Plu (Total : " + std::to_string(sent) + ")\n" +
         deletes + "- Success to Disconect " + address + "\n";
}

TEST_F(Held, AChangesSendSendsEachTerminalOnlyWhatItDoesNotHold) {
  List({{"127.0.0.2", true}, {"127.0.0.3", true}});
  const ProcessResult whole = Send(kFirst, {"--changes"});
  ASSERT_EQ(whole.exitCode, 0) << whole.err;
  EXPECT_EQ(whole.out, "Orlent V3.0.0.0\n" +
                           SentBlock("127.0.0.2", "- Changes 127.0.0.2: 5 of 5 (nothing held)", 5) +
                           SentBlock("127.0.0.3", "- Changes 127.0.0.3: 5 of 5 (nothing held)", 5) +
                           "\n* End *\n");

  List({{"127.0.0.2", true}, {"127.0.0.3", false}});
  ASSERT_EQ(Send(kSecond, {"--changes"}).exitCode, 0);
  List({{"127.0.0.2", true}, {"127.0.0.3", true}});
  const ProcessResult changes = Send(kSecond, {"--changes", "--summary-json", "run.json"});
  ASSERT_EQ(changes.exitCode, 0) << changes.err;
  // 127.0.0.2 holds the file already: it is not even connected.
  EXPECT_EQ(changes.out,
            "Orlent V3.0.0.0\n\n- No changes for 127.0.0.2: 6 held already\n" +
                SentBlock("127.0.0.3",
                          "- Changes 127.0.0.3: 3 of 6 (1 new, 2 changed), 3 held already", 3) +
                "\n* End *\n");
  const struct {
    const char* address;
    int sent, unchanged;
  } rows[] = {{"127.0.0.2", 0, 6}, {"127.0.0.3", 3, 3}};
  const std::string json = folder.Read("run.json");
  for (const auto& row : rows) {
    SCOPED_TRACE(row.address);
    const SummaryRow summary = RowOf(changes.err, row.address);
    EXPECT_EQ(summary.outcome, "sent") << changes.err;
    EXPECT_EQ(summary.sent, row.sent);
    EXPECT_EQ(summary.unchanged, row.unchanged);
    const std::string fields =
        "\"address\": \"" + std::string(row.address) +
        "\", \"outcome\": \"sent\", \"acknowledged\": " + std::to_string(row.sent) +
        ", \"sent\": " + std::to_string(row.sent) +
        ", \"unchanged\": " + std::to_string(row.unchanged) + ", \"deleted\": 0";
    EXPECT_NE(json.find(fields), std::string::npos) << json;
  }
  // What was left out is held already: both terminals hold the file exactly.
  const ProcessResult verified = Verify(kSecond);
  EXPECT_EQ(verified.exitCode, 0) << verified.out << verified.err;
}

TEST_F(Held, DeleteMissingDeletesWhatTheFileNoLongerHas) {
  List({{"127.0.0.2", true}});
  ASSERT_EQ(Send(kSecond).exitCode, 0);
  const Prices fewer(kSecond.begin(), kSecond.begin() + 4);
  const ProcessResult kept = Send(fewer, {"--changes"});
  EXPECT_EQ(kept.out, "Orlent V3.0.0.0\n\n- No changes for 127.0.0.2: 4 held already\n\n* End *\n");

  const ProcessResult deleted =
      Send(fewer, {"--changes", "--delete-missing", "--summary-json", "run.json"});
  ASSERT_EQ(deleted.exitCode, 0) << deleted.err;
  EXPECT_NE(deleted.out.find("- Changes 127.0.0.2: 0 of 4 (0 new, 0 changed), 4 held already, 2 "
                             "to delete\n"),
            std::string::npos)
      << deleted.out;
  EXPECT_EQ(RowOf(deleted.err, "127.0.0.2").deleted, 2) << deleted.err;
  EXPECT_NE(folder.Read("run.json").find("\"deleted\": 2"), std::string::npos);
  EXPECT_EQ(Verify(fewer).exitCode, 0) << "nothing only on the terminal is left";
  EXPECT_EQ(Send(fewer, {"--changes", "--delete-missing"}).out,
            "Orlent V3.0.0.0\n\n- No changes for 127.0.0.2: 4 held already\n\n* End *\n");
}

TEST_F(Held, PlanSaysWhatAChangesSendWouldSendWithoutATerminal) {
  List({{"127.0.0.2", true}, {"127.0.0.3", false}});
  ASSERT_EQ(Send(kFirst).exitCode, 0);
  List({{"127.0.0.2", true}, {"127.0.0.3", true}});
  simulator->Stop();  // a plan contacts no terminal
  folder.Write("second.txt", PluFile(kSecond));

  const std::string head =
      "terminal               send    new  changed  delete  unchanged  missing\n";
  const std::string rowOf2 =
      "127.0.0.2                 3      1        2       0          3        0\n";
  const std::string rowOf3 =
      "127.0.0.3                 6      6        0       0          0        0  (nothing held)\n";
  const struct {
    std::vector<std::string> args;
    std::string out;
  } cases[] = {
      {{}, head + rowOf2 + rowOf3},
      {{"--terminal", "127.0.0.2", "--list"},
       head + rowOf2 +
           "  PLU 2 price: 102 held, 202 in the file\n  PLU 4 price: 104 held, 204 in the file\n"
           "  PLU 6: new\n"},
      {{"--terminal", "127.0.0.3", "--list"},
       head + rowOf3 + "  nothing held: every record of the file is sent\n"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"plan", "--kind", "plu", "--file", "second.txt"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const ProcessResult plan = Cli(args);
    EXPECT_EQ(plan.exitCode, 0) << plan.err;
    EXPECT_EQ(plan.out, c.out);
  }
  const ProcessResult json = Cli({"plan", "--kind", "plu", "--file", "second.txt", "--terminal",
                                  "127.0.0.2", "--delete-missing", "--json", "plan.json"});
  EXPECT_EQ(json.exitCode, 0) << json.err;
  EXPECT_NE(folder.Read("plan.json")
                .find("{\"address\": \"127.0.0.2\", \"port\": " + std::to_string(port) +
                      ", \"send\": 3, \"new\": 1, \"changed\": 2, \"delete\": 0, \"unchanged\": "
                      "3, \"missing\": 0, \"nothing_held\": false}"),
            std::string::npos)
      << folder.Read("plan.json");
  folder.Write("bad.txt", "1\tnot a number\r\n");
  EXPECT_EQ(Cli({"plan", "--kind", "plu", "--file", "bad.txt"}).exitCode, 2);
}

TEST_F(Held, VerifyFindsAWipedTerminalAndRepairMendsIt) {
  List({{"127.0.0.2", true}});
  ASSERT_EQ(Send(kFirst).exitCode, 0);
  WipeTerminals();
  // The held state is trusted until a verification reads the truth.
  EXPECT_EQ(Send(kFirst, {"--changes"}).out,
            "Orlent V3.0.0.0\n\n- No changes for 127.0.0.2: 5 held already\n\n* End *\n");
  const ProcessResult gap = Verify(kFirst);
  EXPECT_EQ(gap.exitCode, 1);
  EXPECT_NE(gap.out.find("- Differs 127.0.0.2: 0 same, 5 missing"), std::string::npos) << gap.out;

  const ProcessResult repair = Verify(kFirst, {"--repair", "--summary-json", "v.json"});
  EXPECT_EQ(repair.exitCode, 0) << repair.out << repair.err;
  EXPECT_NE(repair.out.find("- Changes 127.0.0.2: 5 of 5 (nothing held)"), std::string::npos)
      << repair.out;
  EXPECT_NE(repair.out.find("- Verified 127.0.0.2: 5 same"), std::string::npos) << repair.out;
  EXPECT_NE(repair.err.find("repaired 127.0.0.2: was different; 5 sent, 0 deleted: sent"),
            std::string::npos)
      << repair.err;
  EXPECT_NE(folder.Read("v.json").find("\"repair\": {\"before\": \"different\", \"outcome\": "
                                       "\"sent\", \"sent\": 5, \"deleted\": 0}"),
            std::string::npos)
      << folder.Read("v.json");
  EXPECT_EQ(Verify(kFirst).exitCode, 0);
}

TEST_F(Held, RepairSendsExactlyWhatDiffersAndDeletesTheExtra) {
  List({{"127.0.0.2", true}, {"127.0.0.3", true}});
  ASSERT_EQ(Send(kFirst).exitCode, 0);
  // 127.0.0.3 changed behind the held state's back: two prices, one record more.
  List({{"127.0.0.2", false}, {"127.0.0.3", true}});
  ASSERT_EQ(Send(kSecond, {"--no-held"}).exitCode, 0);
  List({{"127.0.0.2", true}, {"127.0.0.3", true}});

  const ProcessResult repair = Verify(kFirst, {"--repair", "--delete-missing"});
  EXPECT_EQ(repair.exitCode, 0) << repair.out << repair.err;
  EXPECT_NE(
      repair.out.find(SentBlock(
          "127.0.0.3",
          "- Changes 127.0.0.3: 2 of 5 (0 new, 2 changed), 3 held already, 1 to delete", 2, 1)),
      std::string::npos)
      << repair.out;
  EXPECT_EQ(repair.out.find("- Success Connect 127.0.0.2", repair.out.find("* End *")),
            std::string::npos)
      << "the terminal that holds the file is read once";
  EXPECT_NE(repair.err.find("repaired 127.0.0.3: was different; 2 sent, 1 deleted: sent"),
            std::string::npos)
      << repair.err;
  // Nothing differs: nothing is sent, and the verdict is the first one.
  const ProcessResult same = Verify(kFirst, {"--repair"});
  EXPECT_EQ(same.exitCode, 0);
  EXPECT_EQ(same.err.find("repaired"), std::string::npos) << same.err;
}

TEST_F(Held, HeldListsWhatIsHeldAndForgetsTerminals) {
  List({{"127.0.0.2", true}, {"127.0.0.3", true}, {"127.0.0.4", false}});
  ASSERT_EQ(Send(kFirst).exitCode, 0);
  const ProcessResult listed = Cli({"held"});
  EXPECT_EQ(listed.exitCode, 0) << listed.err;
  for (const char* address : {"127.0.0.2", "127.0.0.3"}) {
    const std::string row = std::string(address) + std::string(20 - 9, ' ') + " " +
                            std::to_string(port) + " plu               5  ";
    EXPECT_NE(listed.out.find(row), std::string::npos) << listed.out;
  }
  EXPECT_NE(listed.out.find(folder.File("send.txt")), std::string::npos) << listed.out;

  // An upload, and a receive cycle, replace the rows with what they read.
  const std::string read = "(read from the terminal)";
  ASSERT_EQ(Cli({"upload", "--kind", "plu", "--terminal", "127.0.0.2", "--out", "up.txt"}).exitCode,
            0);
  EXPECT_NE(Cli({"held", "--terminal", "127.0.0.2"}).out.find(read), std::string::npos);
  EXPECT_EQ(Cli({"held", "--terminal", "127.0.0.3"}).out.find(read), std::string::npos);
  ASSERT_EQ(Cli({"upload", "--kind", "plu", "--terminal", "all", "--pause-ms", "0"}).exitCode, 0);
  EXPECT_NE(Cli({"held", "--terminal", "127.0.0.3"}).out.find(read), std::string::npos);

  const struct {
    std::vector<std::string> forget;  // the command that forgets
    std::string gone;                 // the terminal it forgets
  } cases[] = {
      {{"held", "--forget", "--terminal", "127.0.0.2"}, "127.0.0.2"},
      {{"terminals", "change", "2", "127.0.0.5"}, "127.0.0.3"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.gone);
    ASSERT_EQ(Cli(c.forget).exitCode, 0);
    EXPECT_EQ(Cli({"held", "--terminal", c.gone}).out.find(c.gone), std::string::npos);
  }
  EXPECT_EQ(Cli({"held", "--forget"}).exitCode, 2) << "forgetting names a terminal";

  List({{"127.0.0.2", true}});
  ASSERT_EQ(Send(kFirst).exitCode, 0);
  ASSERT_EQ(Cli({"terminals", "delete", "1"}).exitCode, 0);
  EXPECT_EQ(Cli({"held"}).out.find("127.0.0.2"), std::string::npos);
}

TEST_F(Held, AnOrlentDbThatCannotBeUsedNeverMakesASendSmaller) {
  List({{"127.0.0.2", true}});
  ASSERT_EQ(Send(kFirst).exitCode, 0);
  folder.Write("Orlent.db", std::string(4096, 'x'));
  const ProcessResult send = Send(kFirst, {"--changes"});
  EXPECT_EQ(send.exitCode, 0) << send.err;
  EXPECT_NE(send.out.find("- Held state not used: "), std::string::npos) << send.out;
  EXPECT_NE(send.out.find("- Complete Send Plu (Total : 5)"), std::string::npos) << send.out;
  bool setAside = false;
  for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
    setAside |= entry.path().filename().string().starts_with("Orlent.db.damaged-");
  }
  EXPECT_TRUE(setAside) << "the damaged file is kept under a name that says so";

  // A run without the held state neither reads nor makes it.
  std::filesystem::remove_all(folder.File("Orlent.db"));
  const ProcessResult without = Send(kFirst, {"--no-held"});
  EXPECT_EQ(without.exitCode, 0) << without.err;
  EXPECT_FALSE(std::filesystem::exists(folder.File("Orlent.db")));
  EXPECT_EQ(Cli({"send", "--changes", "--no-held"}).exitCode, 2);
}

}  // namespace
