// What Orlent.db claims a terminal holds is on that terminal: `orlent-cli send
// --changes` killed with SIGKILL at random moments, and two processes of one
// folder sending to different terminals at once, against orlent-termsim
// with its store on disk, on loopback.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cstdint>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "held/held_store.h"
#include "held/record_digest.h"
#include "records/records.h"
#include "termsim/simulator_process.h"
#include "termsim/store_file.h"
#include "tests/cli/cli_process.h"
#include "tests/support/temp_folder.h"

namespace {

const std::vector<std::string> kAddresses = {"127.0.0.2", "127.0.0.3", "127.0.0.4"};
constexpr int kItems = 1000;

// Every third round's file leaves out its last ten items, so that they are
// deleted from the terminals and sent again in the next.
int ItemsOf(int round) {
  return round % 3 == 0 ? kItems - 10 : kItems;
}

// A PLU file of ItemsOf(round) items whose prices depend on `round`: each
// round changes the price of about four in ten items.
std::string PluFile(int round) {
  std::mt19937 prices(static_cast<unsigned>(round));
  std::string file;
  for (int number = 1; number <= ItemsOf(round); ++number) {
    const int price = 100 + number + static_cast<int>(prices() % 10 < 4 ? round : 0);
    file += "1\t" + std::to_string(number) + "\t1\tItem " + std::to_string(number) + "\t" +
            std::to_string(price) + "\t" + std::to_string(20000 + number) + "\t7\t5\t1\r\n";
  }
  return file;
}

class ProofRun {
 public:
  ProofRun() {
    std::vector<std::string> args = {"--store", store.path(), "--delay-ms", "2"};
    for (const std::string& address : kAddresses) {
      args.insert(args.end(), {"--listen", address + ":0"});
    }
    simulator_ = std::make_unique<SimulatorProcess>(args);
    std::string ini = "[Terminal]\r\nTerminalPort=" + std::to_string(Port()) +
                      "\r\nTerminalNums=" + std::to_string(kAddresses.size()) + "\r\n";
    for (std::size_t i = 0; i < kAddresses.size(); ++i) {
      const std::string n = std::to_string(i + 1);
      ini += "TerminalIP_" + n + "=" + kAddresses[i] + "\r\nTerminalChecked_" + n + "=1\r\n";
    }
    folder.Write("Orlent.ini", ini);
  }

  int Port() const { return simulator_->port(); }

  ProcessResult Cli(std::vector<std::string> args, const OutputWatch& watch = nullptr) {
    args.insert(args.begin(), {"--folder", folder.path()});
    return RunProcess(ORLENT_CLI_PATH, args, folder.path(), {}, std::chrono::seconds(120), watch);
  }

  // Each row Orlent.db holds of `address` that the terminal's store does not
  // hold with the same fields, as a readable line.
  std::vector<std::string> FalseClaims(const std::string& address) {
    std::string problem;
    const std::unique_ptr<HeldStore> held = HeldStore::Open(folder.File("Orlent.db"), problem);
    if (!held) return {"Orlent.db cannot be opened: " + problem};
    std::string error;
    const std::optional<HeldRecords> rows = held->Records({address, Port()}, kCodePlu, error);
    if (!rows) return {"Orlent.db cannot be read: " + error};
    const RecordKind& kind = *KindOfCode(kCodePlu);
    const RecordMap terminal =
        ReadStoreFile(store.path() + "/" + address + "/" + StoreFile::FileName(kind), kind);
    std::vector<std::string> claims;
    for (const auto& [number, row] : *rows) {
      const auto found = terminal.find(number);
      if (found == terminal.end()) {
        claims.push_back(address + ": PLU " + std::to_string(number) + " is not on the terminal");
      } else if (FieldsOf(kind, found->second) != row.fields) {
        claims.push_back(address + ": PLU " + std::to_string(number) + " differs");
      }
    }
    return claims;
  }

  TempFolder folder;
  TempFolder store;

 private:
  std::unique_ptr<SimulatorProcess> simulator_;
};

// Runs `args` and ends the process with SIGKILL `after` its start.
ProcessResult KilledAfter(ProofRun& run, std::vector<std::string> args,
                          std::chrono::milliseconds after) {
  std::thread killer;
  const ProcessResult result = run.Cli(std::move(args), [&](pid_t pid, const std::string&) {
    if (!killer.joinable()) {
      killer = std::thread([pid, after] {
        std::this_thread::sleep_for(after);
        kill(pid, SIGKILL);
      });
    }
  });
  if (killer.joinable()) killer.join();
  return result;
}

TEST(HeldProof, AKillAtAnyMomentLeavesNoClaimTheTerminalsDoNotBear) {
  ProofRun run;
  std::mt19937 moments(20261210);
  std::uniform_int_distribution<int> afterMs(10, 1200);
  const std::vector<std::string> send = {"send",       "--changes",  "--file",
                                         "plu.txt",    "--pause-ms", "0",
                                         "--parallel", "3",          "--delete-missing"};
  int killed = 0;
  for (int round = 1; round <= 30; ++round) {
    run.folder.Write("plu.txt", PluFile(round));
    const ProcessResult result =
        KilledAfter(run, send, std::chrono::milliseconds(afterMs(moments)));
    if (result.exitCode == -1) ++killed;
    for (const std::string& address : kAddresses) {
      EXPECT_EQ(run.FalseClaims(address), std::vector<std::string>()) << "round " << round;
    }
  }
  // A round that finished before its kill proves as much; the loop must still
  // have cut many sends short.
  EXPECT_GE(killed, 10);

  const ProcessResult last = run.Cli(send);
  ASSERT_EQ(last.exitCode, 0) << last.out << last.err;
  const ProcessResult verify = run.Cli(
      {"verify", "--kind", "plu", "--file", "plu.txt", "--pause-ms", "0", "--parallel", "3"});
  EXPECT_EQ(verify.exitCode, 0) << verify.out << verify.err;
  for (const std::string& address : kAddresses) {
    EXPECT_NE(
        verify.out.find("- Verified " + address + ": " + std::to_string(ItemsOf(30)) + " same"),
        std::string::npos)
        << verify.out;
  }
}

TEST(HeldProof, TwoProcessesOfOneFolderEachKeepTheirTerminals) {
  ProofRun run;
  run.folder.Write("plu.txt", PluFile(1));
  ProcessResult first;
  std::thread other([&] {
    first = run.Cli(
        {"send", "--changes", "--file", "plu.txt", "--pause-ms", "0", "--terminal", kAddresses[0]});
  });
  const ProcessResult second = run.Cli(
      {"send", "--changes", "--file", "plu.txt", "--pause-ms", "0", "--terminal", kAddresses[1]});
  other.join();
  ASSERT_EQ(first.exitCode, 0) << first.err;
  ASSERT_EQ(second.exitCode, 0) << second.err;

  std::string problem;
  const std::unique_ptr<HeldStore> held = HeldStore::Open(run.folder.File("Orlent.db"), problem);
  ASSERT_TRUE(held) << problem;
  for (const std::string& address : {kAddresses[0], kAddresses[1]}) {
    std::string error;
    const std::optional<HeldRecords> rows = held->Records({address, run.Port()}, kCodePlu, error);
    ASSERT_TRUE(rows) << error;
    EXPECT_EQ(rows->size(), static_cast<std::size_t>(kItems)) << address;
    EXPECT_EQ(run.FalseClaims(address), std::vector<std::string>());
  }
}

}  // namespace
