// Broken download files against orlent-cli send over orlent-termsim on
// loopback: the file is refused before any terminal is contacted, so the
// program exits non-zero with the place of the fault, logs no connect and no
// completion, and no terminal stores anything.
#include <sys/stat.h>

#include <functional>
#include <string>

#include "tests/faults/fault_matrix.h"

namespace {

class DownloadFileFaults : public EndToEnd {
 protected:
  void WriteSettings() {
    folder.Write("Orlent.ini", "[Terminal]\r\nTerminalPort=" + std::to_string(Port()) +
                                   "\r\nTerminalNums=2\r\nTerminalIP_1=127.0.0.2\r\n"
                                   "TerminalChecked_1=1\r\nTerminalIP_2=127.0.0.3\r\n"
                                   "TerminalChecked_2=1\r\n");
  }
};

// 37 PLU lines whose line 12 lacks its columns from 4 on.
std::string BrokenAtLine12Of37() {
  Lines lines = PluLines(37);
  lines[11] = "1\t12\t0";
  return FileText(lines);
}

struct BrokenFile {
  std::string name;
  std::string kind;
  std::function<void(TempFolder&, const std::string&)> make;
  std::string error;
};

// Makes the download file hold `content`.
std::function<void(TempFolder&, const std::string&)> Holding(const std::string& content) {
  return [content](TempFolder& folder, const std::string& name) { folder.Write(name, content); };
}

TEST_F(DownloadFileFaults, ABrokenFileIsRefusedBeforeAnyTerminalIsContacted) {
  const BrokenFile files[] = {
      {"line 12 of 37 broken", "plu", Holding(BrokenAtLine12Of37()),
       "Error in input file ! (PLU-Down.txt, line 12, column 5: the line has only 3 columns)"},
      {"missing file", "plu", [](TempFolder&, const std::string&) {},
       "I/O Error ! (PLU-Down.txt: the file cannot be opened: No such file or directory)"},
      {"FIFO", "plu",
       [](TempFolder& f, const std::string& name) {
         ASSERT_EQ(mkfifo(f.File(name).c_str(), 0600), 0);
       },
       "I/O Error ! (PLU-Down.txt: not a regular file)"},
      {"barcode 65537", "barcode",
       Holding(FileText({"1\t2\t0\tApples\t2000001", "65537\t2\t0\tPears\t2000002"})),
       "I/O Error ! (Barcode-Down.txt, line 2, column 1: 65537 is not a record number from 1 to "
       "65534: an answer numbered 0 or 65535 ends a read-back of the terminal)"},
  };
  StartSimulator({"127.0.0.2", "127.0.0.3"});
  WriteSettings();
  for (const BrokenFile& file : files) {
    SCOPED_TRACE(file.name);
    const std::string name = file.kind == "plu" ? "PLU-Down.txt" : "Barcode-Down.txt";
    std::remove(folder.File(name).c_str());
    file.make(folder, name);
    const ProcessResult send = RunProcess(
        ORLENT_CLI_PATH,
        {"--folder", folder.path(), "send", "--kind", file.kind, "--pause-ms", "0"}, folder.path());
    EXPECT_EQ(send.exitCode, 2);
    EXPECT_EQ(send.err, "ERROR: " + file.error + "\n");
    EXPECT_EQ(send.out.find("Connect"), std::string::npos) << send.out;
    EXPECT_EQ(send.out.find("Complete"), std::string::npos) << send.out;
    AddMatrixRow("download file: " + file.name,
                 "exit " + std::to_string(send.exitCode) + ", " +
                     (send.out.find("Connect") == std::string::npos ? "no terminal contacted"
                                                                    : "TERMINAL CONTACTED"),
                 "-");
  }
  StopSimulator();
  for (const std::string address : {"127.0.0.2", "127.0.0.3"}) {
    EXPECT_EQ(Dump(address, "plu"), Lines{}) << address;
    EXPECT_EQ(Dump(address, "barcode"), Lines{}) << address;
  }
}

}  // namespace
