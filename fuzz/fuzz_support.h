// What the fuzz targets share: a main window that runs without a front end,
// a scratch file for inputs that the program reads by path, and the check
// that stops a run with a message when an invariant does not hold.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "loop/event_loop.h"
#include "model/program.h"
#include "model/program_view.h"

// Reports the broken invariant and aborts, so libFuzzer keeps the input.
[[noreturn]] void FuzzFailure(const std::string& what);
#define FUZZ_CHECK(condition, what)                                         \
  do {                                                                      \
    if (!(condition)) FuzzFailure(std::string(#condition) + ": " + (what)); \
  } while (0)

// Keeps the error boxes and failures the core shows; the log is in the program.
class FuzzView : public ProgramView {
 public:
  void LogAppended(const std::string&) override {}
  void LogReplaced(std::size_t, const std::string&) override {}
  void LogCleared() override {}
  void TerminalListChanged() override {}
  void TerminalStateChanged(const TerminalState&) override {}
  void ShowError(const std::string& text) override { errors.push_back(text); }
  void ShowFailure(const std::string& text) override { failures.push_back(text); }
  void FocusSet(FocusTarget) override {}
  void EventHandled() override {}

  std::vector<std::string> errors;
  std::vector<std::string> failures;
};

// Posted work runs when the target says so; timers never fire; blocking work
// runs at once and posts its result.
class FuzzLoop : public EventLoop {
 public:
  void Post(std::function<void()> fn) override { posted_.push_back(std::move(fn)); }
  void ArmTimer(TimerSlot, int, std::function<void()>) override {}
  void StopTimer(TimerSlot) override {}
  void RunOffLoop(std::function<void()> work, std::function<void()> done) override {
    work();
    Post(std::move(done));
  }
  void RunPending();

 private:
  std::deque<std::function<void()>> posted_;
};

// A program with its own loop and view, not started, in the scratch folder
// of this process.
struct FuzzProgram {
  explicit FuzzProgram(const LinkLibrary& link = LinkLibrary{});
  FuzzLoop loop;
  FuzzView view;
  std::unique_ptr<Program> program;
};

// A folder of this process under the system's temporary folder, removed at exit.
const std::string& ScratchFolder();
// Writes `bytes` to `name` in the scratch folder and returns its full path.
std::string WriteScratchFile(const std::string& name, std::string_view bytes);
// The whole content of a file; empty when it cannot be read.
std::string ReadFileBytes(const std::string& path);
