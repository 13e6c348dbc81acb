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

#include "records/download_files.h"
#include "records/line_reader.h"

namespace {

std::string benchFile = PARSE_BENCH_FILE;

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
  int records = 0;
  for (auto _ : state) {
    const DownloadFileRead read = ReadDownloadFile(*KindOfCode(kCodePlu), benchFile, CodePage());
    // A refused file would measure the refusal, not the parse.
    if (read.error) throw std::runtime_error(read.error->Describe(benchFile));
    // The result, not the count, goes to DoNotOptimize: GCC dropped the store
    // of a count passed to it, and the lines per second came out ten times high.
    benchmark::DoNotOptimize(read);
    records = read.records;
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
