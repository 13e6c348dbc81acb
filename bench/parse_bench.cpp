// Parse throughput of a full PLU download file, against plain line reading of
// the same file, in lines per second and MB/s. Run with a file path to measure
// another file. Prints the ratio of the parse time to the line reading time.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <stdexcept>
#include <string>

#include "app/tform1.h"
#include "transfer/download_files.h"
#include "transfer/line_reader.h"

namespace {

std::string benchFile = PARSE_BENCH_FILE;

// The window as the parser needs it: an error box that ends the run.
class QuietView : public FormView {
 public:
  void LogAppended(const std::string&) override {}
  void LogReplaced(std::size_t, const std::string&) override {}
  void LogCleared() override {}
  void TerminalListChanged() override {}
  void ShowError(const std::string& text) override { throw std::runtime_error(text); }
  void ShowFailure(const std::string& text) override { throw std::runtime_error(text); }
  void FocusSet(const TControl&) override {}
  void ControlsChanged() override {}
};

class IdleLoop : public EventLoop {
 public:
  void Post(std::function<void()>) override {}
  void ArmTimer(TimerSlot, int, std::function<void()>) override {}
  void StopTimer(TimerSlot) override {}
};

void Count(benchmark::State& state, int64_t linesPerRun) {
  state.SetItemsProcessed(state.iterations() * linesPerRun);
  state.SetBytesProcessed(state.iterations() *
                          static_cast<int64_t>(std::filesystem::file_size(benchFile)));
}

void BM_GetLine(benchmark::State& state) {
  int64_t lines = 0;
  for (auto _ : state) {
    std::ifstream in(benchFile, std::ios::binary);
    std::string line;
    lines = 0;
    while (std::getline(in, line)) ++lines;
    benchmark::DoNotOptimize(line);
  }
  Count(state, lines);
}

void BM_LineReader(benchmark::State& state) {
  int64_t lines = 0;
  for (auto _ : state) {
    LineReader reader(benchFile);
    std::string line;
    lines = 0;
    while (reader.ReadLine(line)) ++lines;
    benchmark::DoNotOptimize(line);
  }
  Count(state, lines);
}

void BM_ReadPluFile(benchmark::State& state) {
  IdleLoop loop;
  QuietView view;
  TForm1 form(loop, view, LinkLibrary{}, "/nowhere/orlent");
  int records = 0;
  for (auto _ : state) {
    records = ReadPluFile(form, benchFile);
    benchmark::DoNotOptimize(records);
  }
  Count(state, records + 1);  // the file's comment line is read too
}

BENCHMARK(BM_GetLine);
BENCHMARK(BM_LineReader);
BENCHMARK(BM_ReadPluFile);

// Keeps the CPU time per run of each benchmark, the time the rates are given in, for the closing
// ratios.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) times[run.benchmark_name()] = run.GetAdjustedCPUTime();
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (argc > 1) benchFile = argv[1];
  std::cout << "File: " << benchFile << " (" << std::filesystem::file_size(benchFile)
            << " bytes)\n";
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const double parse = reporter.times["BM_ReadPluFile"];
  std::cout << "ReadPluFile / LineReader: " << parse / reporter.times["BM_LineReader"] << "\n"
            << "ReadPluFile / std::getline: " << parse / reporter.times["BM_GetLine"] << "\n";
  benchmark::Shutdown();
}
