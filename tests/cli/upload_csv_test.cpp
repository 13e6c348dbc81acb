// `upload --format csv` end to end: the built orlent-cli against
// orlent-termsim on loopback.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

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

}  // namespace
