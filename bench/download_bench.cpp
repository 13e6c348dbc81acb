// A 3334-record PLU download through the core (parse, one request per record,
// each answer dispatched on the window's thread, the progress line kept) to
// one simulated terminal on loopback, the pause before the connect excluded;
// and, in the same run, bare write-and-acknowledge round trips of the same
// record through the link library alone, the two in turns. Prints records per
// second of both and their ratio, per round and as medians: the program's own
// work per record should not be what limits a transfer.
//   download_bench [rounds]
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include "link/link_library.h"
#include "model/program.h"
#include "records/records.h"
#include "termsim/simulator_process.h"
#include "tests/support/real_loop.h"
#include "tests/support/temp_folder.h"

namespace {

constexpr int kRecords = 3334;
constexpr const char* kCoreTerminal = "127.0.0.2";
constexpr const char* kLinkTerminal = "127.0.0.3";

using Clock = std::chrono::steady_clock;
double Seconds(Clock::duration elapsed) {
  return std::chrono::duration<double>(elapsed).count();
}

const LinkLibrary& Library() {
  static const LinkLibrary library = [] {
    std::string error;
    auto bound = BindLinkLibrary(TERMLINK_PATH, error);
    if (!bound) throw std::runtime_error(error);
    return *bound;
  }();
  return library;
}

SimulatorProcess& Simulator() {
  static SimulatorProcess simulator({"--listen", std::string(kCoreTerminal) + ":0", "--listen",
                                     std::string(kLinkTerminal) + ":0"});
  return simulator;
}

// The window as a benchmark needs it: nothing shown, an error ends the run.
class QuietView : public ProgramView {
 public:
  void LogAppended(const std::string&) override {}
  void LogReplaced(std::size_t, const std::string&) override {}
  void LogCleared() override {}
  void TerminalListChanged() override {}
  void TerminalStateChanged(const TerminalState&) override {}
  void ShowError(const std::string& text) override { throw std::runtime_error(text); }
  void ShowFailure(const std::string& text) override { throw std::runtime_error(text); }
  void FocusSet(FocusTarget) override {}
  void EventHandled() override {}
};

// Acknowledgments of the library-only round trips.
std::mutex answerMutex;
std::condition_variable answered;
int answers = 0;

extern "C" int CountAnswer(RequestPacket) {
  {
    std::lock_guard lock(answerMutex);
    ++answers;
  }
  answered.notify_one();
  return 1;
}
extern "C" int IgnoreSecond(void) {
  return 1;
}

// One run of `kRecords` write-and-acknowledge round trips through the library
// alone, each record sent once the previous one is acknowledged.
double LinkRoundTripSeconds() {
  const LinkLibrary& link = Library();
  link.AddProcConnection(1, kLinkTerminal, Simulator().port(), 100, 5010, 5000, 3, 9, CountAnswer,
                         IgnoreSecond);
  if (!link.Connect(kLinkTerminal, -1)) throw std::runtime_error("no connection");
  PluRecord record{};
  std::strcpy(record.Text, "Apples organic bag");
  RequestPacket packet{};
  packet.Id = -1;
  packet.Address = kLinkTerminal;
  packet.Channel = 1;
  packet.Code = kCodePlu;
  packet.InterpreterGroup = 100;
  packet.InterpreterId = 5010;
  packet.Direction = kDirectionWrite;
  packet.DataLength = sizeof record;
  packet.Data = &record;
  const auto start = Clock::now();
  for (int i = 1; i <= kRecords; ++i) {
    record.PluNo = i;
    std::unique_lock lock(answerMutex);
    const int before = answers;
    lock.unlock();
    if (link.IsConnect(kLinkTerminal, -1) != 1 || !link.SendDataEx(packet))
      throw std::runtime_error("a round trip was not sent");
    lock.lock();
    answered.wait(lock, [&] { return answers > before; });
  }
  const double seconds = Seconds(Clock::now() - start);
  link.Disconnect(kLinkTerminal, -1);
  return seconds;
}

// One send cycle over one terminal with the whole file: from the press of
// "&Send Data" to "* End *", without the pause before the connect.
double CoreDownloadSeconds(Program& program, RealLoop& loop) {
  const auto start = Clock::now();
  program.HandleEvent([&] { program.Send(TickedSendOrder(program)); });
  const bool ended =
      loop.RunUntil([&] { return !program.CycleRunning(); }, std::chrono::minutes(5));
  const double seconds = Seconds(Clock::now() - start);
  const auto& log = program.Activity().Lines();
  const std::string completion = "- Complete Send Plu (Total : " + std::to_string(kRecords) + ")";
  if (!ended || log.size() < 4 || log[log.size() - 4] != completion)
    throw std::runtime_error("the download did not complete");
  return seconds;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
  TempFolder folder;
  RealLoop loop;
  QuietView view;
  Program program(loop, view, Library(), folder.File("orlent"));
  program.Start();  // registers the transport and the interpreters
  program.ChooseSendFile(DOWNLOAD_BENCH_FILE);
  program.Terminals().SetPort(std::to_string(Simulator().port()));
  program.Terminals().SetEntries({{kCoreTerminal, true}});
  // The pause before the connect is not the download.
  program.ChangeSettings({1, 0, kAnswerTimeoutKey.absent}, program.StoredCodePage());

  // The two are measured in turns, so a busy machine weighs on both alike.
  std::vector<double> linkRates, coreRates, ratios;
  std::printf("%d records per run; records/s\n%-6s %12s %12s %8s\n", kRecords, "round", "library",
              "core", "ratio");
  for (int round = 1; round <= rounds; ++round) {
    const double link = kRecords / LinkRoundTripSeconds();
    const double core = kRecords / CoreDownloadSeconds(program, loop);
    linkRates.push_back(link);
    coreRates.push_back(core);
    ratios.push_back(core / link);
    std::printf("%-6d %12.0f %12.0f %8.2f\n", round, link, core, core / link);
  }
  std::printf("median %12.0f %12.0f %8.2f  (goal: core/library at least 0.7)\n", Median(linkRates),
              Median(coreRates), Median(ratios));
}
