// Load and save of a settings file of about 10 MB through the window's own
// handlers: a list of 200 000 entries, and a damaged count of 2000000000 with
// one far key above 10 MB of other lines. Each load reads and parses the file
// once, so both take a fraction of a second.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "model/program.h"
#include "settings/settings_file.h"

namespace {

class QuietView : public ProgramView {
 public:
  void LogAppended(const std::string&) override {}
  void LogReplaced(std::size_t, const std::string&) override {}
  void LogCleared() override {}
  void TerminalListChanged() override {}
  void TerminalStateChanged(const TerminalState&) override {}
  void ShowError(const std::string&) override {}
  void ShowFailure(const std::string&) override {}
  void FocusSet(FocusTarget) override {}
  void EventHandled() override {}
};

class IdleLoop : public EventLoop {
 public:
  void Post(std::function<void()>) override {}
  void ArmTimer(TimerSlot, int, std::function<void()>) override {}
  void StopTimer(TimerSlot) override {}
  void RunOffLoop(std::function<void()>, std::function<void()>) override {}
};

std::string Folder() {
  const auto folder = std::filesystem::temp_directory_path() / "orlent-settings-bench";
  std::filesystem::create_directories(folder);
  return folder.string();
}

std::string LongList() {
  constexpr int kEntries = 200000;
  std::string text =
      "[Terminal]\r\nTerminalPort=20404\r\nTerminalNums=" + std::to_string(kEntries) + "\r\n";
  for (int n = 1; n <= kEntries; ++n) {
    const std::string number = std::to_string(n);
    text += "TerminalIP_" + number + "=10." + std::to_string(n / 65536) + "." +
            std::to_string(n / 256 % 256) + "." + std::to_string(n % 256) + "\r\n";
    text += "TerminalChecked_" + number + "=" + (n % 2 ? "1" : "0") + "\r\n";
  }
  return text;
}

std::string DamagedCount() {
  std::string text = "[Terminal]\r\nTerminalNums=2000000000\r\n";
  while (text.size() < 10'000'000) text += "; padding line of a damaged file, never a key\r\n";
  return text + "TerminalIP_2000000000=127.0.0.2\r\n";
}

void Run(benchmark::State& state, const std::string& bytes, bool save) {
  const std::string path = Folder() + "/Orlent.ini";
  std::ofstream(path, std::ios::binary) << bytes;
  IdleLoop loop;
  QuietView view;
  Program program(loop, view, LinkLibrary{}, Folder() + "/orlent");
  program.UseSettingsFile(std::make_unique<SettingsFile>(path));
  for (auto _ : state) {
    program.LoadTerminalSettings();
    if (save) {
      // A change of the first address, so that every save writes.
      std::string first = program.Terminals().Entries().front().address;
      first.back() ^= 1;
      program.Terminals().Readdress(0, first);
      program.SaveTerminalSettings();
    }
    benchmark::DoNotOptimize(program.Terminals().Entries().size());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
  state.counters["entries"] = static_cast<double>(program.Terminals().Entries().size());
}

void BM_LoadLongList(benchmark::State& state) {
  Run(state, LongList(), false);
}
void BM_LoadAndSaveLongList(benchmark::State& state) {
  Run(state, LongList(), true);
}
void BM_LoadDamagedCount(benchmark::State& state) {
  Run(state, DamagedCount(), false);
}

BENCHMARK(BM_LoadLongList)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadAndSaveLongList)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadDamagedCount)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
