// orlent-cli and the day's journal: a journal that is no regular file holds
// up no command, and a run killed outright leaves in the journal every line
// its terminals had written, whatever their place in the list.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <map>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "termsim/simulator_process.h"
#include "tests/cli/cli_process.h"
#include "tests/support/temp_folder.h"

namespace {

using Lines = std::vector<std::string>;

// "logs/Orlent-2026-12-08.log" for the local date `days` days from now.
std::string JournalName(int days) {
  return "logs/Orlent-" + LocalDate(days) + ".log";
}

// Every journal's lines in `folder`, by the terminal in their brackets.
std::map<std::string, Lines> JournalByTerminal(const TempFolder& folder) {
  static const std::regex stamped(R"(\S+ (?:\[([^\]]+)\] )?(.*))");
  std::map<std::string, Lines> lines;
  for (int day : {0, 1}) {
    const std::string text = folder.Read(JournalName(day));
    std::smatch parts;
    for (std::size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos;
         start = end + 1) {
      const std::string line = text.substr(start, end - start);
      if (std::regex_match(line, parts, stamped)) lines[parts[1]].push_back(parts[2]);
    }
  }
  return lines;
}

std::string Ini(int port, const Lines& addresses) {
  std::string text = "[Terminal]\r\nTerminalPort=" + std::to_string(port) +
                     "\r\nTerminalNums=" + std::to_string(addresses.size()) + "\r\n";
  for (std::size_t n = 1; n <= addresses.size(); ++n) {
    text += "TerminalIP_" + std::to_string(n) + "=" + addresses[n - 1] + "\r\nTerminalChecked_" +
            std::to_string(n) + "=1\r\n";
  }
  return text;
}

std::string PluFile(int records) {
  std::string text;
  for (int plu = 1; plu <= records; ++plu) {
    text += "1\t" + std::to_string(plu) + "\t0\tItem\t249\t0\t1\t0\t0\r\n";
  }
  return text;
}

TEST(CliJournal, AFifoAtTheDaysJournalIsReportedOnceAndNoCommandWaitsForIt) {
  for (const Lines& command : {Lines{"send", "--pause-ms", "0"},
                               Lines{"upload", "--kind", "plu", "--terminal", "127.0.0.2"}}) {
    SCOPED_TRACE(command[0]);
    TempFolder folder;
    SimulatorProcess simulator({"--listen", "127.0.0.2:0"});
    folder.Write("Orlent.ini", Ini(simulator.port(), {"127.0.0.2"}));
    folder.Write("PLU-Down-Default.txt", PluFile(3));
    std::filesystem::create_directory(folder.File("logs"));
    // Tomorrow's too, for a run that passes midnight.
    for (int day : {0, 1}) ASSERT_EQ(mkfifo(folder.File(JournalName(day)).c_str(), 0600), 0);
    Lines args = {"--folder", folder.path()};
    args.insert(args.end(), command.begin(), command.end());
    // A journal that waited for a reader would hold the run until the limit.
    const ProcessResult run =
        RunProcess(ORLENT_CLI_PATH, args, folder.path(), {}, std::chrono::seconds(30));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    static const std::regex report(
        R"(- Journal not written: \S+/logs/Orlent-[-0-9]+\.log: not a regular file\n)");
    const auto reports = std::distance(std::sregex_iterator(run.out.begin(), run.out.end(), report),
                                       std::sregex_iterator());
    EXPECT_EQ(reports, 1) << run.out;
    EXPECT_NE(run.out.find("- Success to Disconect 127.0.0.2\n"), std::string::npos) << run.out;
  }
}

// The first terminal never answers, so the log shows nothing of the others;
// the journal has their work as it happened, each count in its last form.
TEST(CliJournal, AfterKill9TheJournalHoldsTheLinesOfEveryTerminalSoFar) {
  TempFolder folder;
  const auto simulators = StartSharingOnePort(
      {{"--listen", "127.0.0.2:0", "--drop-after", "0"},
       {"--listen", "127.0.0.3:0", "--listen", "127.0.0.4:0", "--delay-ms", "2"}});
  folder.Write("Orlent.ini", Ini(simulators[0]->port(), {"127.0.0.2", "127.0.0.3", "127.0.0.4"}));
  folder.Write("PLU-Down-Default.txt", PluFile(40));
  const auto done = [&folder] {
    const auto lines = JournalByTerminal(folder);
    for (const char* terminal : {"127.0.0.3", "127.0.0.4"}) {
      const auto it = lines.find(terminal);
      if (it == lines.end() || it->second.back() != "- Success to Disconect " + it->first) {
        return false;
      }
    }
    return true;
  };
  bool killed = false;
  const ProcessResult run = RunProcess(
      ORLENT_CLI_PATH,
      {"--folder", folder.path(), "send", "--pause-ms", "0", "--parallel", "3",
       "--answer-timeout-ms", "600000"},
      folder.path(), {}, std::chrono::seconds(90), [&](pid_t pid, const std::string&) {
        if (killed) return;
        // A generous wait for the two terminals to be done, then the kill.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!done() && std::chrono::steady_clock::now() < deadline) {
          std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        killed = true;
        kill(pid, SIGKILL);
      });
  ASSERT_TRUE(killed);
  EXPECT_EQ(run.out.find("127.0.0.3"), std::string::npos) << "the log waits for 127.0.0.2";
  std::map<std::string, Lines> expected;
  // Killed, the run has its first line and never its last.
  // Each terminal's block begins with it again.
  const std::string first = "Run: send, PLU, file " + folder.File("PLU-Down-Default.txt") +
                          ", 3 terminals, 3 at once, started by command line";
  expected[""] = {first};
  expected["127.0.0.2"] = {"", first, "- Success Connect 127.0.0.2"};
  for (const std::string terminal : {"127.0.0.3", "127.0.0.4"}) {
    expected[terminal] = {"",
                          first,
                          "- Success Connect " + terminal,
                          "- Success to Send Plu (40)",
                          "- Complete Send Plu (Total : 40)",
                          "- Success to Disconect " + terminal};
  }
  EXPECT_EQ(JournalByTerminal(folder), expected);
}

}  // namespace
