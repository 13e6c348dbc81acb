// `orlent-cli verify` end to end against orlent-termsim on loopback: four
// terminals sent slightly different files, then checked against one file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "termsim/simulator_process.h"
#include "tests/cli/cli_process.h"
#include "tests/support/temp_folder.h"

namespace {

const std::vector<std::string> kAddresses = {"127.0.0.2", "127.0.0.3", "127.0.0.4", "127.0.0.5"};

std::string PluLine(int number, int price) {
  return "1\t" + std::to_string(number) + "\t1\tItem " + std::to_string(number) + "\t" +
         std::to_string(price) + "\t2000" + std::to_string(number) + "\t7\t5\t1\r\n";
}

class VerifyRun {
 public:
  VerifyRun() {
    std::vector<std::string> args;
    for (const std::string& address : kAddresses) {
      args.insert(args.end(), {"--listen", address + ":0"});
    }
    simulator_ = std::make_unique<SimulatorProcess>(args);
  }

  // Orlent.ini with every terminal listed and only those in `ticked` ticked.
  void Tick(const std::vector<std::string>& ticked) {
    std::string ini = "[Terminal]\r\nTerminalPort=" + std::to_string(simulator_->port()) +
                      "\r\nTerminalNums=" + std::to_string(kAddresses.size()) + "\r\n";
    for (std::size_t i = 0; i < kAddresses.size(); ++i) {
      const bool on = std::find(ticked.begin(), ticked.end(), kAddresses[i]) != ticked.end();
      ini += "TerminalIP_" + std::to_string(i + 1) + "=" + kAddresses[i] + "\r\nTerminalChecked_" +
             std::to_string(i + 1) + "=" + (on ? "1" : "0") + "\r\n";
    }
    folder.Write("Orlent.ini", ini);
  }

  ProcessResult Cli(std::vector<std::string> args) {
    args.insert(args.begin(), {"--folder", folder.path()});
    return RunProcess(ORLENT_CLI_PATH, args, folder.path());
  }

  // Sends `content` as a PLU file to `address` alone.
  void SendTo(const std::string& address, const std::string& content) {
    Tick({address});
    folder.Write("send.txt", content);
    const ProcessResult sent =
        Cli({"send", "--kind", "plu", "--file", "send.txt", "--pause-ms", "0"});
    ASSERT_EQ(sent.exitCode, 0) << sent.err;
  }

  TempFolder folder;

 private:
  std::unique_ptr<SimulatorProcess> simulator_;
};

TEST(Verify, EachTerminalIsComparedWithTheFileRecordByRecord) {
  VerifyRun run;
  const std::string file = PluLine(1, 249) + PluLine(2, 199) + PluLine(3, 229);
  run.SendTo("127.0.0.2", file);                                                 // the same
  run.SendTo("127.0.0.3", PluLine(1, 249) + PluLine(2, 189) + PluLine(3, 229));  // a price
  run.SendTo("127.0.0.4", PluLine(1, 249) + PluLine(3, 229));                    // one missing
  run.SendTo("127.0.0.5", file + PluLine(9, 100));                               // one extra
  run.Tick(kAddresses);
  run.folder.Write("file.txt", file);

  const ProcessResult all = run.Cli({"verify", "--kind", "plu", "--file", "file.txt", "--pause-ms",
                                     "0", "--parallel", "2", "--summary-json", "v.json"});
  EXPECT_EQ(all.exitCode, 1) << all.err;
  const std::vector<std::string> verdicts = {
      "- Verified 127.0.0.2: 3 same",
      "- Differs 127.0.0.3: 2 same, 1 different\n  PLU 2 price: 199 in the file, 189 on the "
      "terminal",
      "- Differs 127.0.0.4: 2 same, 1 missing\n  PLU 2: missing on the terminal",
      "- Differs 127.0.0.5: 3 same, 1 only on the terminal\n  PLU 9: only on the terminal",
  };
  std::string log = "Orlent V3.0.0.0\n\n";
  for (std::size_t i = 0; i < verdicts.size(); ++i) {
    const std::string& address = kAddresses[i];
    log += "- Success Connect " + address + "\n- CompleteDataReceivedPLU\n- Success to Disconect " +
           address + "\n" + verdicts[i] + "\n\n";
  }
  EXPECT_EQ(all.out, log + "* End *\n");
  const std::string json = run.folder.Read("v.json");
  const std::size_t totals = json.find("\n  \"totals\"");
  ASSERT_NE(totals, std::string::npos) << json;
  EXPECT_EQ(json.substr(totals + 1, json.find('\n', totals + 1) - totals - 1),
            R"(  "totals": {"terminals": 4, "matching": 1, "differing": 3, "unproven": 0, )"
            R"("failed": 0, "same": 10, "different": 1, "missing": 1, "extra": 1, "unseen": 0},)");

  const ProcessResult one = run.Cli({"verify", "--kind", "plu", "--file", "file.txt", "--terminal",
                                     "127.0.0.2", "--pause-ms", "0"});
  EXPECT_EQ(one.exitCode, 0) << one.err;
  run.folder.Write("bad.txt", "1\tnot a number\r\n");
  EXPECT_EQ(run.Cli({"verify", "--kind", "plu", "--file", "bad.txt"}).exitCode, 2);
}

TEST(Verify, TheSpeedkeyRecordIsReadBackAndCompared) {
  VerifyRun run;
  std::string keys;
  for (int column = 1; column <= 144; ++column) keys += std::to_string(column % 50) + "\t";
  keys.back() = '\n';
  run.folder.Write("keys.txt", keys);
  run.Tick({"127.0.0.2"});
  ASSERT_EQ(
      run.Cli({"send", "--kind", "speedkey", "--file", "keys.txt", "--pause-ms", "0"}).exitCode, 0);
  const ProcessResult same =
      run.Cli({"verify", "--kind", "speedkey", "--file", "keys.txt", "--pause-ms", "0"});
  EXPECT_EQ(same.exitCode, 0) << same.out << same.err;
  // The other addresses are not ticked.
  const std::string skipped =
      "- Skip Connect 127.0.0.3\n\n- Skip Connect 127.0.0.4\n\n- Skip Connect 127.0.0.5\n\n* End "
      "*\n";
  const std::string served =
      "Orlent V3.0.0.0\n\n- Success Connect 127.0.0.2\n"
      "- CompleteDataReceivedSpeedkey\n- Success to Disconect 127.0.0.2\n";
  EXPECT_EQ(same.out, served + "- Verified 127.0.0.2: 1 same\n\n" + skipped);
  keys.replace(0, 1, "7");
  run.folder.Write("keys.txt", keys);
  const ProcessResult changed =
      run.Cli({"verify", "--kind", "speedkey", "--file", "keys.txt", "--pause-ms", "0"});
  EXPECT_EQ(changed.exitCode, 1);
  EXPECT_EQ(changed.out, served +
                             "- Differs 127.0.0.2: 0 same, 1 different\n"
                             "  Speedkey key 1 of table 1: 7 in the file, 1 on the terminal\n\n" +
                             skipped);
}

}  // namespace
