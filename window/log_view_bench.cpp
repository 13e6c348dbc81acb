// The activity log under load, in the real window (offscreen): appending
// 100 000 lines and then showing the last of them, and keeping the PLU
// progress line up to date through a 3334-record download, each update
// handled as its own event the way answers arrive.
#include <benchmark/benchmark.h>

#include <QListView>
#include <QScrollBar>
#include <string>

#include "window/window_fixture.h"

namespace {

void PaintLog(MainWindow& window) {
  window.ActivityLog()->viewport()->repaint();
  ProcessEvents();
}

void BM_Append100000Lines(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    WindowFixture w;
    state.ResumeTiming();
    for (int n = 1; n <= 100000; ++n)
      w.Model().AddLog(std::to_string(n) + ". 1, 101, 0, Apple, 250");
    ProcessEvents();
    w.window->ActivityLog()->scrollToBottom();
    PaintLog(*w.window);
    state.PauseTiming();
    if (w.window->Log().rowCount() != 100001) state.SkipWithError("lines lost");
    state.ResumeTiming();
  }
}
BENCHMARK(BM_Append100000Lines)->Unit(benchmark::kMillisecond);

void BM_ScrollThrough100000Lines(benchmark::State& state) {
  WindowFixture w;
  for (int n = 1; n <= 100000; ++n) w.Model().AddLog(std::to_string(n));
  ProcessEvents();
  QScrollBar* bar = w.window->ActivityLog()->verticalScrollBar();
  int position = 0;
  for (auto _ : state) {
    position = (position + bar->pageStep() * 97) % (bar->maximum() + 1);
    bar->setValue(position);
    PaintLog(*w.window);
  }
}
BENCHMARK(BM_ScrollThrough100000Lines)->Unit(benchmark::kMicrosecond);

void BM_ProgressLine3334Updates(benchmark::State& state) {
  WindowFixture w;
  for (int n = 1; n <= 100000; ++n) w.Model().AddLog(std::to_string(n));  // a long log already
  w.window->ActivityLog()->scrollToBottom();
  for (auto _ : state) {
    w.Model().AddLog("- Success to Send Plu (1)");
    const int last = static_cast<int>(w.Model().Activity().Lines().size()) - 1;
    for (int n = 2; n <= 3334; ++n) {
      w.Model().ReplaceLogLine("- Success to Send Plu (" + std::to_string(n) + ")", last);
      ProcessEvents();
    }
    PaintLog(*w.window);
  }
}
BENCHMARK(BM_ProgressLine3334Updates)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  EnsureApplication();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
