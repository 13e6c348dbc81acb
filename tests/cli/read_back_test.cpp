// What a read-back proves, end to end: `orlent-cli` refuses a file whose
// record numbers a read-back cannot reach, and `verify`, through the link
// library against orlent-termsim, says "Verified" only for a terminal whose
// whole memory it saw. The simulator is started on records that no download
// file may hold (stored by other software) and with the faults that end a
// read with status 95 or at 65535.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "records/records.h"
#include "termlink/record_table.h"
#include "termsim/simulator_process.h"
#include "termsim/store_file.h"
#include "tests/cli/cli_process.h"
#include "tests/support/temp_folder.h"

namespace {

std::string PluLine(int number) {
  return "1\t" + std::to_string(number) + "\t1\tItem " + std::to_string(number) + "\t" +
         std::to_string(number % 1000) + "\t0\t7\t5\t1\r\n";
}

// The record a download of PluLine(number) stores.
std::vector<uint8_t> PluBytes(int32_t number) {
  PluRecord record{};
  record.Field1 = 1;
  record.PluNo = number;
  record.Field3 = 1;
  std::strcpy(record.Text, ("Item " + std::to_string(number)).c_str());
  record.Field5 = number % 1000;
  record.Field7 = 7;
  record.Field8 = 5;
  record.Field9 = 1;
  const auto* bytes = reinterpret_cast<const uint8_t*>(&record);
  return {bytes, bytes + sizeof record};
}

class ReadBack : public ::testing::Test {
 protected:
  // Starts a terminal at 127.0.0.2 holding the PLUs `held`, with `faults`.
  void StartTerminal(const std::vector<int32_t>& held, std::vector<std::string> faults = {}) {
    simulator_.reset();  // the one before saves its store on its way out
    const std::string store = folder.File("store");
    std::filesystem::create_directories(store + "/127.0.0.2");
    const termlink::RecordKind& plu = *termlink::FindRecordKind(kCodePlu);
    RecordMap loaded;
    RecordMap records;
    for (int32_t number : held) records[number] = PluBytes(number);
    StoreFile(store + "/127.0.0.2", plu, loaded).Rewrite(records);
    faults.insert(faults.begin(), {"--listen", "127.0.0.2:0", "--store", store});
    simulator_ = std::make_unique<SimulatorProcess>(faults);
    folder.Write("Orlent.ini", "[Terminal]\r\nTerminalPort=" + std::to_string(simulator_->port()) +
                                   "\r\nTerminalNums=1\r\nTerminalIP_1=127.0.0.2\r\n"
                                   "TerminalChecked_1=1\r\n");
  }

  ProcessResult Cli(const std::string& command, const std::string& file) {
    folder.Write("file.txt", file);
    return RunProcess(ORLENT_CLI_PATH,
                      {"--folder", folder.path(), command, "--kind", "plu", "--file", "file.txt",
                       "--pause-ms", "0", "--summary-json", "run.json"},
                      folder.path());
  }

  TempFolder folder;

 private:
  std::unique_ptr<SimulatorProcess> simulator_;
};

TEST_F(ReadBack, AFileWithARecordNumberTheReadBackCannotReachIsRefusedBeforeAnySend) {
  StartTerminal({});
  const struct {
    std::string file;
    std::string error;
  } files[] = {
      {PluLine(0) + PluLine(99999), "line 1, column 2: 0 is not a PLU number"},
      {PluLine(1) + PluLine(65535), "line 2, column 2: 65535 is not a PLU number"},
  };
  for (const auto& f : files) {
    const ProcessResult send = Cli("send", f.file);
    EXPECT_EQ(send.exitCode, 2) << send.err;
    EXPECT_NE(send.err.find(f.error), std::string::npos) << send.err;
    EXPECT_EQ(send.out.find("- Success Connect"), std::string::npos) << send.out;
  }
}

// The core's own tests cover every end of a read; here the real simulator
// holds what no file may, and ends a read with its faults.
TEST_F(ReadBack, NotVerifiedWhenTheTerminalHoldsMoreOrEndsWhereRecordsCouldFollow) {
  const struct {
    const char* name;
    std::vector<int32_t> held;
    std::vector<std::string> faults;
    std::string verdict;
    const char* outcome;  // in the JSON summary
  } cases[] = {
      {"a PLU below 0 and a stale one",
       {-5, 1, 2, 99999},
       {},
       "- Differs 127.0.0.2: 2 same, 2 only on the terminal\n  PLU -5: only on the terminal\n"
       "  PLU 99999: only on the terminal",
       "different"},
      {"PLU 65535 hides those above it",
       {1, 2, 65535, 99999},
       {},
       "- Not proven 127.0.0.2: 2 same; the terminal ended its records at 65535",
       "not proven"},
      {"the second record sent without its number",
       {1, 2},
       {"--end-after", "1", "--end-with", "95"},
       "- Not proven 127.0.0.2: 1 same, 1 not seen; the terminal sent its last record without "
       "its number (status 95)",
       "not proven"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    StartTerminal(c.held, c.faults);
    const ProcessResult verify = Cli("verify", PluLine(1) + PluLine(2));
    EXPECT_EQ(verify.exitCode, 1) << verify.err;
    EXPECT_NE(verify.out.find(c.verdict + "\n"), std::string::npos) << verify.out;
    EXPECT_NE(folder.Read("run.json").find("\"outcome\": \"" + std::string(c.outcome) + "\""),
              std::string::npos)
        << folder.Read("run.json");
  }
}

}  // namespace
