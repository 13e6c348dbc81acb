#include "tests/faults/fault_matrix.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <mutex>
#include <vector>

#include "link/answer_router.h"
#include "records/records.h"
#include "tests/support/closed_port.h"
#include "tests/support/program_fixture.h"

namespace {

// --- the printed matrix --------------------------------------------------

struct Row {
  std::string fault, cycle, upload;
};

std::vector<Row>& Rows() {
  static std::vector<Row> rows;
  return rows;
}

void PrintRows() {
  const auto& rows = Rows();
  if (rows.empty()) return;
  std::size_t width[3] = {5, 36, 6};
  for (const Row& row : rows) {
    width[0] = std::max(width[0], row.fault.size());
    width[1] = std::max(width[1], row.cycle.size());
    width[2] = std::max(width[2], row.upload.size());
  }
  auto print = [&](const std::string& a, const std::string& b, const std::string& c) {
    std::printf("| %-*s | %-*s | %-*s |\n", int(width[0]), a.c_str(), int(width[1]), b.c_str(),
                int(width[2]), c.c_str());
  };
  std::printf(
      "\nFault matrix: send cycle 127.0.0.2 (faulty), 127.0.0.3, 127.0.0.4 (faulty); "
      "PLU upload from 127.0.0.2\n");
  print("fault", "send cycle (outcome/records handed over)", "upload");
  print(std::string(width[0], '-'), std::string(width[1], '-'), std::string(width[2], '-'));
  for (const Row& row : rows) print(row.fault, row.cycle, row.upload);
  std::fflush(stdout);
}

class MatrixPrinter : public ::testing::Environment {
 public:
  void TearDown() override { PrintRows(); }
};
[[maybe_unused]] auto* const printer = ::testing::AddGlobalTestEnvironment(new MatrixPrinter);

// --- the program's answers, as the library hands them over ---------------

struct Acknowledgment {
  std::string address;
  int32_t number;  // PluNo of the acknowledged record; 0 when it carries a status
};

std::mutex acknowledgmentsMutex;
std::vector<Acknowledgment> acknowledgments;
LinkLibrary realLink;

// Notes each PLU acknowledgment, then hands the answer to the program's own
// callback, so the program runs exactly as it does without the note.
extern "C" void NoteAnswer(void* router, const RequestPacket* answer) {
  if (answer->Code == kCodePlu && answer->Direction == kDirectionWrite && answer->Data &&
      answer->DataLength >= sizeof(PluRecord)) {
    PluRecord record;
    std::memcpy(&record, answer->Data, sizeof record);
    std::lock_guard lock(acknowledgmentsMutex);
    acknowledgments.push_back({answer->Address, record.PluNo});
  }
  RouteAnswer(router, answer);
}

int AddNotingConnection(int mode, const char* address, int port, int group, int id, int interval,
                        int retry, int code, TermLinkAnswerFn, TermLinkLostFn lost, void* router) {
  return realLink.AddProcConnectionEx(mode, address, port, group, id, interval, retry, code,
                                      NoteAnswer, lost, router);
}

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

// The count in "- Success to Send Plu (N)" or "- Complete Send Plu (Total : N)".
int CountIn(const std::string& line) {
  const auto open = line.find_last_of("( ");
  return std::atoi(line.c_str() + open + 1);
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

}  // namespace

void AddMatrixRow(const std::string& fault, const std::string& cycle, const std::string& upload) {
  Rows().push_back({fault, cycle, upload});
}

Lines UploadLinesOf(const Lines& source) {
  Lines lines;
  for (const auto& line : source) lines.push_back(UploadLineOf(line));
  return lines;
}

std::string TerminalReport::Summary() const {
  std::string text = address.substr(address.rfind('.')) + " " + outcome;
  if (outcome != "fail connect") text += " " + std::to_string(handedOver);
  text += ", " + std::to_string(stored.size()) + " stored";
  if (refused > 0) text += ", " + std::to_string(refused) + " refused";
  return text;
}

std::string CycleResult::Summary() const {
  std::string text = ended ? "" : "NO END; ";
  for (const auto& terminal : terminals) text += (text.empty() ? "" : " | ") + terminal.Summary();
  for (const auto& error : errors) text += " | box \"" + error + "\"";
  if (!settingsIntact) text += " | SETTINGS CHANGED";
  return text;
}

std::string UploadResult::Summary() const {
  const std::string last = fileLines.empty() ? "" : fileLines.back();
  std::string how = "ended";
  if (Contains(cli.out, "- Fail Connect ")) how = "fail connect";
  if (Contains(cli.err, "no answer from ")) how = "no answer in time";
  if (Contains(cli.out, "- CompleteDataReceivedPLU")) how = "ended by 99";
  if (Contains(last, "END: 95")) how = "ended by 95, written";
  if (Contains(last, ", 65535, ")) how = "ended by 65535, written";
  if (Contains(cli.err, "Cannot create file")) how = "file not created";
  std::string text = how + ", " + std::to_string(fileLines.size()) + " lines, exit " +
                     std::to_string(cli.exitCode);
  if (!settingsIntact) text += ", SETTINGS CHANGED";
  return text;
}

namespace {

// The real library, but each connection added is noted first.
LinkLibrary NotingLink() {
  realLink = EndToEnd::BoundLinkLibrary();
  LinkLibrary link = realLink;
  link.AddProcConnectionEx = AddNotingConnection;
  return link;
}

}  // namespace

FaultMatrix::FaultMatrix() : EndToEnd(NotingLink()) {
  ChangeCycleOptions(*program, std::nullopt, std::nullopt, kTimeoutMs);
  std::lock_guard lock(acknowledgmentsMutex);
  acknowledgments.clear();
}

void FaultMatrix::WriteSettings(const std::string& iniPath, int port, const Lines& addresses) {
  std::string text = "[Terminal]\r\nTerminalPort=" + std::to_string(port) +
                     "\r\nTerminalNums=" + std::to_string(addresses.size()) + "\r\n";
  for (std::size_t n = 1; n <= addresses.size(); ++n) {
    text += "TerminalIP_" + std::to_string(n) + "=" + addresses[n - 1] + "\r\nTerminalChecked_" +
            std::to_string(n) + "=1\r\n";
  }
  std::FILE* file = std::fopen(iniPath.c_str(), "wb");
  ASSERT_NE(file, nullptr) << iniPath;
  std::fwrite(text.data(), 1, text.size(), file);
  std::fclose(file);
}

CycleResult FaultMatrix::PlayCycle(const Lines& faults, bool listen,
                                   const std::function<void()>& watch) {
  ChangeCycleOptions(*program, std::nullopt, std::nullopt, answerTimeoutMs);
  folder.Write("PLU-Down-Default.txt", FileText(source));
  // Without listeners, the faulty terminals' port is held closed on their
  // addresses, so no other program can answer there.
  std::vector<std::unique_ptr<ClosedPort>> closed;
  if (listen) {
    StartSimulators({{{"127.0.0.3"}, {}}, {{"127.0.0.2", "127.0.0.4"}, faults}});
  } else {
    StartSimulator({"127.0.0.3"});
    for (const char* address : {"127.0.0.2", "127.0.0.4"}) {
      closed.push_back(std::make_unique<ClosedPort>(address, Port()));
    }
  }
  const Lines addresses{"127.0.0.2", "127.0.0.3", "127.0.0.4"};
  dialled.insert(dialled.end(), addresses.begin(), addresses.end());
  WriteSettings(folder.File("Orlent.ini"), Port(), addresses);
  const std::string settings = folder.Read("Orlent.ini");
  program->HandleEvent([&] { program->LoadTerminalSettings(); });

  CycleResult result;
  const std::size_t from = program->Activity().Lines().size();
  program->HandleEvent([&] { program->Send(TickedSendOrder(*program)); });
  result.ended = loop.RunUntil(
      [&] {
        if (watch) watch();
        const auto& log = program->Activity().Lines();
        return !program->CycleRunning() && !log.empty() && log.back() == "* End *";
      },
      kCycleLimit);
  program->HandleEvent([&] { program->SaveTerminalSettings(); });
  result.settingsIntact = folder.Read("Orlent.ini") == settings;
  result.errors = view.errors;
  result.errors.insert(result.errors.end(), view.failures.begin(), view.failures.end());

  StopSimulator();
  EXPECT_EQ(simulator->exitCode(), 0) << "the healthy simulator did not end cleanly";
  for (const auto& faulty : neighbours) {
    faulty->Stop();
    EXPECT_EQ(faulty->exitCode(), 0) << "the faulty simulator did not end cleanly";
  }
  for (const auto& address : addresses) result.terminals.push_back(Report(address, from));
  return result;
}

TerminalReport FaultMatrix::Report(const std::string& address, std::size_t logFrom) {
  TerminalReport report;
  report.address = address;
  report.outcome = "none";
  const Lines log = LogFrom(logFrom);
  auto line = std::find_if(log.begin(), log.end(), [&](const std::string& l) {
    return l == "- Success Connect " + address || l == "- Fail Connect " + address;
  });
  for (auto own = line; own != log.end() && !own->empty(); ++own) report.log.push_back(*own);
  if (line != log.end() && *line == "- Fail Connect " + address) report.outcome = "fail connect";
  if (line != log.end() && report.outcome == "none") {
    // The terminal's lines run up to the blank line before the next one.
    for (++line; line != log.end() && !line->empty(); ++line) {
      if (StartsWith(*line, "- Success to Send Plu (") ||
          StartsWith(*line, "- Complete Send Plu (Total : ") ||
          StartsWith(*line, "- Fail to Send Plu (")) {
        report.handedOver = CountIn(*line);
      }
      if (StartsWith(*line, "- Complete Send Plu ")) report.outcome = "complete";
      if (StartsWith(*line, "- Fail to Send Plu ")) report.outcome = "send failed";
      if (*line == "- Time Out " + address) report.outcome = "time out";
      if (*line == "- Fail to Disconnect " + address && report.outcome == "none") {
        report.outcome = "closed";
      }
    }
  }
  // A terminal that never listened has nothing in the store.
  if (std::filesystem::exists(folder.File("store") + "/" + address)) {
    report.stored = Dump(address, "plu");
  }
  std::lock_guard lock(acknowledgmentsMutex);
  for (const auto& ack : acknowledgments) {
    if (ack.address != address) continue;
    if (ack.number == 0) {
      ++report.refused;
      continue;
    }
    ++report.acknowledged;
    const std::string& record = source.at(static_cast<std::size_t>(ack.number - 1));
    if (std::find(report.stored.begin(), report.stored.end(), record) == report.stored.end()) {
      report.unstoredAcknowledged.push_back(record);
    }
  }
  return report;
}

UploadResult FaultMatrix::PlayUpload(const Lines& faults, bool listen, const Lines& memory,
                                     const std::string& out) {
  const std::string programFolder = folder.File("upload");
  std::filesystem::create_directories(programFolder);
  folder.Write("upload/PLU-Down-Default.txt", FileText(source));
  const std::string store = folder.File("upload-store");

  // A healthy terminal is given the records first.
  Lines args{"--store", store, "--listen", "127.0.0.2:0"};
  args.insert(args.end(), memory.begin(), memory.end());
  auto terminal = std::make_unique<SimulatorProcess>(args);
  WriteSettings(programFolder + "/Orlent.ini", terminal->port(), {"127.0.0.2"});
  const ProcessResult filled = RunProcess(
      ORLENT_CLI_PATH, {"--folder", programFolder, "send", "--pause-ms", "0"}, programFolder);
  // A terminal with little memory may refuse some of the records.
  EXPECT_TRUE(filled.exitCode == 0 || (!memory.empty() && filled.exitCode == 1)) << filled.err;
  terminal.reset();

  // Then the same terminal misbehaves, or is gone. It comes back on a port
  // of its own: the one it had may have been taken meanwhile.
  std::unique_ptr<ClosedPort> closed;
  if (listen) {
    args[3] = "127.0.0.2:0";
    args.insert(args.end(), faults.begin(), faults.end());
    terminal = std::make_unique<SimulatorProcess>(args);
    WriteSettings(programFolder + "/Orlent.ini", terminal->port(), {"127.0.0.2"});
  } else {
    closed = std::make_unique<ClosedPort>("127.0.0.2");
    WriteSettings(programFolder + "/Orlent.ini", closed->port(), {"127.0.0.2"});
  }
  const std::string settings = folder.Read("upload/Orlent.ini");
  UploadResult result;
  result.cli =
      RunProcess(ORLENT_CLI_PATH,
                 {"--folder", programFolder, "upload", "--kind", "plu", "--terminal", "127.0.0.2",
                  "--out", out, "--answer-timeout-ms", std::to_string(answerTimeoutMs)},
                 programFolder);
  if (terminal) {
    terminal->Stop();
    EXPECT_EQ(terminal->exitCode(), 0) << "the simulator did not end cleanly";
  }
  result.fileLines = SplitLines(folder.Read("upload/" + out));
  std::size_t logged = 0;
  for (std::size_t at = 0; (at = result.cli.out.find("AddPlu", at)) != std::string::npos; ++at) {
    ++logged;
  }
  result.logged = logged;
  result.settingsIntact = folder.Read("upload/Orlent.ini") == settings;
  return result;
}
