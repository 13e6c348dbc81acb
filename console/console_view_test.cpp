#include "console/console_view.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// One call of the core on the view.
struct Step {
  enum { Append, Replace, Clear, Error, Failure, Finish, State } call;
  std::string text = {};
  std::size_t index = 0;     // the line a Replace changes
  TerminalState state = {};  // what a State reports
};

// What a stream written by the view holds, read back when it is closed.
class CapturedStream {
 public:
  CapturedStream() : file_(open_memstream(&data_, &size_)) {}
  ~CapturedStream() {
    if (file_) std::fclose(file_);
    std::free(data_);
  }
  std::FILE* file() const { return file_; }
  std::string Text() {
    std::fflush(file_);
    return std::string(data_, size_);
  }

 private:
  char* data_ = nullptr;
  std::size_t size_ = 0;
  std::FILE* file_;
};

void Play(ConsoleView& view, const std::vector<Step>& steps) {
  for (const Step& step : steps) {
    switch (step.call) {
      case Step::Append:
        view.LogAppended(step.text);
        break;
      case Step::Replace:
        view.LogReplaced(step.index, step.text);
        break;
      case Step::Clear:
        view.LogCleared();
        break;
      case Step::Error:
        view.ShowError(step.text);
        break;
      case Step::Failure:
        view.ShowFailure(step.text);
        break;
      case Step::Finish:
        view.Finish();
        break;
      case Step::State:
        view.TerminalStateChanged(step.state);
        break;
    }
  }
}

// How the log reaches the console: not at all, one final line at a time (a
// pipe or a file), or redrawn in place (a terminal).
enum class Log { NotPrinted, Final, InPlace };

// What the view wrote and kept for one run of steps.
struct Outputs {
  std::string out;
  std::string err;
  std::vector<std::string> seen;  // lines handed to onLogLine
  std::vector<std::string> errors;
  int failures;
};

Outputs Written(Log log, ConsoleView::FailureLine failureLine, const std::vector<Step>& steps) {
  CapturedStream out;
  CapturedStream err;
  ConsoleView view(log == Log::NotPrinted ? nullptr : out.file(), err.file(), log == Log::InPlace,
                   failureLine);
  std::vector<std::string> seen;
  view.onLogLine = [&seen](const std::string& line) { seen.push_back(line); };
  Play(view, steps);
  return {out.Text(), err.Text(), seen, view.Errors(), view.Failures()};
}

TEST(ConsoleView, PrintsTheLogAsItsLinesBecomeFinal) {
  const Step a{Step::Append, "a"}, b{Step::Append, "b"}, finish{Step::Finish};
  const struct {
    const char* name;
    Log log;
    std::vector<Step> steps;
    std::string out;
  } cases[] = {
      {"each line once it is final", Log::Final, {a, b, finish}, "a\nb\n"},
      {"a replaced last line as it ends up",
       Log::Final,
       {a, b, {Step::Replace, "b2", 1}, finish},
       "a\nb2\n"},
      {"an earlier line no longer changes",
       Log::Final,
       {a, b, {Step::Replace, "a2", 0}, finish},
       "a\nb\n"},
      {"a terminal redraws the last line where it stands",
       Log::InPlace,
       {a, {Step::Replace, "a2", 0}, b, finish},
       "a\ra2\033[K\nb\n"},
      {"a second Finish ends nothing more", Log::InPlace, {a, finish, finish}, "a\n"},
      {"a cleared log ends its last line and starts anew",
       Log::Final,
       {a, {Step::Clear}, {Step::Replace, "x", 0}, b, {Step::Replace, "b2", 0}, finish},
       "a\nb2\n"},
      {"a log not printed",
       Log::NotPrinted,
       {a, {Step::Replace, "a2", 0}, {Step::Clear}, finish},
       ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Outputs outputs = Written(c.log, ConsoleView::FailureLine::MarkedAsError, c.steps);
    EXPECT_EQ(outputs.out, c.out);
    EXPECT_EQ(outputs.err, "");
    std::vector<std::string> appended;
    for (const Step& step : c.steps) {
      if (step.call == Step::Append) appended.push_back(step.text);
    }
    EXPECT_EQ(outputs.seen, appended) << "every appended line is handed on, printed or not";
  }
}

TEST(ConsoleView, WritesErrorBoxesAndFailuresAsEachFrontEndDoes) {
  using F = ConsoleView::FailureLine;
  const std::vector<Step> steps = {{Step::Append, "a"},          {Step::Error, "Bad port"},
                                   {Step::Failure, "disk full"}, {Step::Append, "b"},
                                   {Step::Failure, "again"},     {Step::Finish}};
  const struct {
    const char* name;
    Log log;
    F failureLine;
    std::string out;
    std::string err;
  } cases[] = {
      {"the command line: every one marked as an error", Log::Final, F::MarkedAsError, "a\nb\n",
       "ERROR: Bad port\nERROR: disk full\nERROR: again\n"},
      {"the window's --version: a failure as its bare text", Log::NotPrinted, F::Bare, "",
       "ERROR: Bad port\ndisk full\nagain\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Outputs outputs = Written(c.log, c.failureLine, steps);
    EXPECT_EQ(outputs.out, c.out);
    EXPECT_EQ(outputs.err, c.err);
    EXPECT_EQ(outputs.errors, (std::vector<std::string>{"Bad port", "disk full", "again"}));
    EXPECT_EQ(outputs.failures, 2);
  }
}

Step StateOf(int entry, const char* address, SessionPhase phase, uint32_t stored = 0,
             const char* failure = "") {
  TerminalState state;
  state.entry = entry;
  state.address = address;
  state.phase = phase;
  state.stored = stored;
  state.total = 9;
  state.failure = failure;
  return {Step::State, "", 0, state};
}

TEST(ConsoleView, ATerminalShowsALiveLinePerTerminalServedBelowTheLog) {
  using P = SessionPhase;
  const Step a{Step::Append, "a"}, finish{Step::Finish};
  const Step sending2 = StateOf(0, "127.0.0.2", P::Transferring, 4);
  const struct {
    const char* name;
    Log log;
    std::vector<Step> steps;
    std::string out;
  } cases[] = {
      {"one line below the held line, the cursor back at its end",
       Log::InPlace,
       {a, sending2, finish},
       "a\n127.0.0.2  sending 4 / 9\033[K\033[1A\ra\033[J\n"},
      {"redrawn when the state changes, gone when the terminal is done",
       Log::InPlace,
       {a, StateOf(0, "127.0.0.2", P::Pausing), StateOf(1, "127.0.0.3", P::Connecting),
        StateOf(1, "127.0.0.3", P::Disconnected), finish},
       "a\n127.0.0.2  waiting\033[K\033[1A\ra"
       "\033[J\n127.0.0.2  waiting\033[K\n127.0.0.3  connecting\033[K\033[2A\ra"
       "\033[J\n127.0.0.2  waiting\033[K\033[1A\ra\033[J\n"},
      {"cleared before a new log line and drawn again below it",
       Log::InPlace,
       {a, sending2, {Step::Append, "b"}, StateOf(0, "127.0.0.2", P::NotConnected, 0, "x"), finish},
       "a\n127.0.0.2  sending 4 / 9\033[K\033[1A\ra\033[J\nb"
       "\n127.0.0.2  sending 4 / 9\033[K\033[1A\rb\033[J\n"},
      {"a terminal outside a send cycle has none",
       Log::InPlace,
       {a, StateOf(-1, "127.0.0.2", P::Transferring, 4), finish},
       "a\n"},
      {"nothing extra where the log must stay exact", Log::Final, {a, sending2, finish}, "a\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Written(c.log, ConsoleView::FailureLine::MarkedAsError, c.steps).out, c.out);
  }
}

}  // namespace
