// `upload --format csv` end to end: the built orlent-cli against
// orlent-termsim on loopback.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "termsim/simulator_process.h"
#include "tests/cli/cli_process.h"
#include "tests/support/temp_folder.h"

namespace {

std::size_t Lines(const std::string& text) {
  std::size_t count = 0;
  for (std::size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos; at += 2) ++count;
  return count;
}

TEST(UploadCsv, AReportIsAlsoWrittenAsCsvBesideItsUploadFileARecordKindIsRefused) {
  TempFolder folder;
  SimulatorProcess simulator({"--listen", "127.0.0.2:0"});
  folder.Write("Orlent.ini", "[Terminal]\r\nTerminalPort=" + std::to_string(simulator.port()) +
                                 "\r\nTerminalNums=1\r\nTerminalIP_1=127.0.0.2\r\n");
  const struct {
    const char* kind;
    int exitCode;
    const char* heading;  // the CSV's first line, empty: no CSV
    std::size_t rows;
  } cases[] = {
      {"report-time", 0, "Time,Hour,Sales,Amount,Weight (g),Items,Voided sales", 24},
      {"report-dept", 0, "Time,Department,Sales,Amount,Weight (g),Items,Voided sales", 99},
      {"plu", 2, "", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.kind);
    std::filesystem::remove(folder.File("out.csv"));
    const ProcessResult run =
        RunProcess(ORLENT_CLI_PATH,
                   {"--folder", folder.path(), "upload", "--kind", c.kind, "--terminal",
                    "127.0.0.2", "--out", "out.txt", "--format", "csv"},
                   folder.path());
    EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
    if (c.exitCode != 0) {
      EXPECT_NE(run.err.find("--format"), std::string::npos) << run.err;
      EXPECT_FALSE(std::filesystem::exists(folder.File("out.csv")));
      continue;
    }
    const std::string csv = folder.Read("out.csv");
    EXPECT_EQ(csv.substr(0, csv.find("\r\n")), c.heading);
    EXPECT_EQ(Lines(csv), c.rows + 1);
    EXPECT_EQ(Lines(folder.Read("out.txt")), c.rows);  // the upload file as it was
  }
}

TEST(UploadCsv, EveryTickedTerminalsReportIsAlsoWrittenAsCsv) {
  TempFolder folder;
  SimulatorProcess simulator({"--listen", "127.0.0.2:0", "--listen", "127.0.0.3:0"});
  folder.Write("Orlent.ini", "[Terminal]\r\nTerminalPort=" + std::to_string(simulator.port()) +
                                 "\r\nTerminalNums=2\r\nTerminalIP_1=127.0.0.2\r\n"
                                 "TerminalChecked_1=1\r\nTerminalIP_2=127.0.0.3\r\n"
                                 "TerminalChecked_2=1\r\n");
  const ProcessResult run =
      RunProcess(ORLENT_CLI_PATH,
                 {"--folder", folder.path(), "upload", "--kind", "report-group", "--terminal",
                  "all", "--out-dir", "received", "--pause-ms", "0", "--format", "csv"},
                 folder.path());
  ASSERT_EQ(run.exitCode, 0) << run.err;
  std::vector<std::string> csvs;
  for (const auto& entry : std::filesystem::directory_iterator(folder.File("received"))) {
    if (entry.path().extension() == ".csv") csvs.push_back(entry.path().filename().string());
  }
  std::sort(csvs.begin(), csvs.end());
  ASSERT_EQ(csvs.size(), 2u);
  EXPECT_TRUE(csvs[0].starts_with("Report-Group_127.0.0.2_")) << csvs[0];
  EXPECT_TRUE(csvs[1].starts_with("Report-Group_127.0.0.3_")) << csvs[1];
  // One row per group beside the heading, as the upload file holds them.
  const std::string csv = folder.Read("received/" + csvs[0]);
  EXPECT_EQ(Lines(csv), 100u + 1);
}

}  // namespace
