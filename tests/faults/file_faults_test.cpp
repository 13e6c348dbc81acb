// Faults of the files around a transfer: a settings file that cannot be
// written, a download file that vanishes during a send, and an upload file
// whose folder does not exist.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "tests/faults/fault_matrix.h"

namespace {

std::size_t FilesIn(const std::string& folder) {
  std::size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++count;
  return count;
}

// Runs orlent-cli as a user that may not write to `folder`. Root may write
// anywhere, so as root a copy of the program (which the test's folder lets
// anyone run, wherever the build folder lies) runs as nobody.
ProcessResult RunWithoutWriteAccess(const Lines& args, const std::string& folder,
                                    const std::string& copyFolder) {
  if (geteuid() != 0) return RunProcess(ORLENT_CLI_PATH, args, folder);
  namespace fs = std::filesystem;
  const fs::path program(ORLENT_CLI_PATH);
  fs::create_directories(copyFolder);
  for (const fs::path& file : {program, program.parent_path() / "libtermlink.so"}) {
    fs::copy_file(file, copyFolder / file.filename(), fs::copy_options::overwrite_existing);
  }
  Lines all{"--reuid=65534", "--regid=65534", "--clear-groups",
            (fs::path(copyFolder) / program.filename()).string()};
  all.insert(all.end(), args.begin(), args.end());
  return RunProcess("/usr/bin/setpriv", all, folder);
}

TEST_F(FaultMatrix, ASettingsFileInAReadOnlyFolderIsLeftAsItWas) {
  const std::string readOnly = folder.File("read-only");
  std::filesystem::create_directories(readOnly);
  const std::string ini =
      "[Terminal]\r\nTerminalPort=20404\r\nTerminalNums=1\r\nTerminalIP_1=127.0.0.2\r\n"
      "TerminalChecked_1=1\r\n";
  folder.Write("read-only/Orlent.ini", ini);
  ASSERT_EQ(chmod(folder.path().c_str(), 0755), 0);
  ASSERT_EQ(chmod((readOnly + "/Orlent.ini").c_str(), 0644), 0);
  ASSERT_EQ(chmod(readOnly.c_str(), 0555), 0);

  const std::string failure = "ERROR: Unable to write to " + readOnly + "/Orlent.ini\n";
  const std::string program = folder.File("program");
  const ProcessResult add = RunWithoutWriteAccess(
      {"--folder", readOnly, "terminals", "add", "127.0.0.9"}, readOnly, program);
  EXPECT_EQ(add.exitCode, 2);
  EXPECT_EQ(add.err, failure);
  const ProcessResult tick = RunWithoutWriteAccess(
      {"--folder", readOnly, "terminals", "tick", "1", "off"}, readOnly, program);
  EXPECT_EQ(tick.exitCode, 2);
  EXPECT_EQ(tick.err, failure);
  const ProcessResult list =
      RunWithoutWriteAccess({"--folder", readOnly, "terminals"}, readOnly, program);
  EXPECT_EQ(list.exitCode, 0) << list.err;
  EXPECT_EQ(list.out, "Port 20404\n1 [x] 127.0.0.2\n");

  chmod(readOnly.c_str(), 0755);  // so the test's folder can be removed
  EXPECT_EQ(folder.Read("read-only/Orlent.ini"), ini);
  EXPECT_EQ(FilesIn(readOnly), 1u) << "a temporary file was left behind";
  AddMatrixRow("settings file in a read-only folder",
               "add: exit " + std::to_string(add.exitCode) + ", tick: exit " +
                   std::to_string(tick.exitCode) + ", \"Unable to write to .../Orlent.ini\"; " +
                   (folder.Read("read-only/Orlent.ini") == ini ? "file unchanged" : "FILE CHANGED"),
               "-");
}

TEST_F(FaultMatrix, ADownloadFileThatVanishesDuringASendChangesNothingForTheLaterTerminals) {
  bool removed = false;
  const CycleResult cycle = PlayCycle({}, true, [&] {
    // The cycle read the file once, at its start: every terminal gets it.
    const auto& log = program->Activity().Lines();
    if (!removed && !log.empty() && log.back().starts_with("- Success to Send Plu (")) {
      removed = std::remove(folder.File("PLU-Down-Default.txt").c_str()) == 0;
    }
  });
  ASSERT_TRUE(removed);
  EXPECT_TRUE(cycle.ended);
  EXPECT_EQ(cycle.errors, Lines{});
  EXPECT_TRUE(cycle.settingsIntact);
  ASSERT_EQ(cycle.terminals.size(), 3u);
  for (const TerminalReport& terminal : cycle.terminals) {
    SCOPED_TRACE(terminal.address);
    EXPECT_EQ(terminal.outcome, "complete");
    EXPECT_EQ(terminal.stored, source);
  }
  AddMatrixRow("download file vanishes during a send", cycle.Summary(), "-");
}

TEST_F(FaultMatrix, AnUploadFileInAMissingFolderIsRefusedBeforeAnythingIsAsked) {
  const UploadResult upload = PlayUpload({}, true, {}, "no-such-folder/PLU-Up.txt");
  EXPECT_EQ(upload.cli.exitCode, 2);
  EXPECT_NE(upload.cli.err.find("ERROR: Cannot create file \""), std::string::npos)
      << upload.cli.err;
  EXPECT_EQ(upload.cli.out.find("dataUploadNextPLU"), std::string::npos)
      << "a record was asked for";
  EXPECT_NE(upload.cli.out.find("- Success to Disconect 127.0.0.2"), std::string::npos)
      << "the terminal was left connected";
  EXPECT_TRUE(upload.fileLines.empty());
  EXPECT_TRUE(upload.settingsIntact);
  AddMatrixRow("upload file in a folder that does not exist", "-", upload.Summary());
}

}  // namespace
