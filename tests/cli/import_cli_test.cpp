// orlent-cli import end to end: the shipped sample export and its profile, as
// a shop operator's script runs them.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/cli/cli_process.h"
#include "tests/support/temp_folder.h"

namespace {

const std::string kSample = std::string(ORLENT_DATA_DIR) + "/Shop-Export.csv";

// The sample's lines 5, 8 and 9 cannot be taken, each for its own reason.
const std::string kRefused =
    "line 5: price: '1,995' has 3 decimals: a price is kept in whole cents and is never "
    "rounded\n"
    "line 8: PLU no: 0 is not a PLU number from 1 to 2147483647 other than 65535: a read-back "
    "of the terminal starts at 1, and an answer numbered 0 or 65535 ends it\n"
    "line 9: price: 'abc' is not a price with the decimal comma\n";

// What the sample's good lines become, in windows-1252 as the terminals store them.
const std::string kTaken =
    "1\t101\t1\tK\xE4se Gouda jung\t199\t0\t7\t0\t2\r\n"
    "1\t102\t1\tBr\xF6tchen\t35\t0\t7\t0\t1\r\n"
    "1\t103\t1\t\xC4pfel \"Braeburn\", lose\t249\t0\t7\t0\t3\r\n"
    "1\t105\t1\tWei\xDF"
    "brot\t179\t0\t7\t0\t1\r\n"
    "1\t106\t1\tSalami; italienisch\t349\t0\t7\t0\t2\r\n"
    "1\t108\t1\tMilch 3,5 %\t109\t0\t7\t0\t2\r\n";

class ImportCli : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::copy_file(std::string(ORLENT_DATA_DIR) + "/Import-Profiles.ini",
                               folder.File("Import-Profiles.ini"));
  }
  ProcessResult Run(std::vector<std::string> args) {
    args.insert(args.begin(), {"--folder", folder.path(), "import"});
    return RunProcess(ORLENT_CLI_PATH, args);
  }
  TempFolder folder;
};

TEST_F(ImportCli, RefusesTheSampleWhileALineIsRefused) {
  const ProcessResult run = Run({"--profile", "Shop", kSample});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, kRefused +
                         "ERROR: 3 lines are refused; nothing is written (--skip-bad writes the "
                         "others)\n");
  EXPECT_FALSE(std::filesystem::exists(folder.File("PLU-Down.txt")));
}

TEST_F(ImportCli, WritesTheGoodLinesAndTheRefusedOnesBesideThemWithSkipBad) {
  const ProcessResult run = Run({"--profile", "shop", kSample, "--skip-bad"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, kRefused);
  const std::string out = folder.File("PLU-Down.txt");
  EXPECT_EQ(run.out, "6 records written to " + out + "\n3 refused lines written to " + out +
                         ".refused.txt\n");
  const std::string written = folder.Read("PLU-Down.txt");
  EXPECT_EQ(written.substr(written.find("\r\n") + 2), kTaken);
  EXPECT_NE(folder.Read("PLU-Down.txt.refused.txt").find("line 9\tprice: 'abc'"),
            std::string::npos);
  // What was written is what a send takes: read back as "Read File" lists it.
  const ProcessResult read =
      RunProcess(ORLENT_CLI_PATH, {"--folder", folder.path(), "read", "--file", out});
  EXPECT_EQ(read.exitCode, 0) << read.err;
}

TEST_F(ImportCli, WritesWhereToldAndRefusesAnUnknownProfile) {
  folder.Write("clean.csv", "Artikelnr;Bezeichnung;Preis;Warengruppe\n7;Tee;2,00;4\n");
  const ProcessResult run =
      Run({"--profile", "Shop", folder.File("clean.csv"), "--out", folder.File("x.txt")});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(folder.Read("x.txt").find("\r\n1\t7\t1\tTee\t200\t0\t7\t0\t4\r\n"), std::string::npos);
  const ProcessResult unknown = Run({"--profile", "Other", kSample});
  EXPECT_EQ(unknown.exitCode, 2);
  EXPECT_EQ(unknown.err, "ERROR: there is no import profile 'Other'\n");
}

}  // namespace
