// What the operator sets once and finds again at the next start: the send
// cycle's options and the terminals' character set from the Settings dialog,
// and the download file picked in the file-open dialog. Each change is saved
// with the list at once.
#include <algorithm>
#include <stdexcept>
#include <string>

#include "model/program.h"

namespace {

void CheckRange(const NumberKey& key, int value) {
  if (value < key.min || value > key.max) {
    throw std::invalid_argument(std::string(key.name) + " must be a number from " +
                                std::to_string(key.min) + " to " + std::to_string(key.max));
  }
}

}  // namespace

void Program::ChangeSettings(const CycleOptions& options, const CodePage& codePage) {
  // A running cycle goes on with the options it started with; changing them
  // under it would leave the operator unsure which ones it used.
  if (CycleRunning()) {
    View.ShowError("Send Data Is Running !");
    return;
  }
  CheckRange(kParallelKey, options.parallel);
  CheckRange(kPauseKey, options.pauseMs);
  CheckRange(kAnswerTimeoutKey, options.answerTimeoutMs);
  // Options the file does not hold are not put in force either.
  const CycleOptions before = StoredOptions;
  const CodePage codePageBefore = StoredCodePage;
  StoredOptions = options;
  StoredCodePage = codePage;
  try {
    SaveTerminalSettings();
  } catch (...) {
    StoredOptions = before;
    StoredCodePage = codePageBefore;
    throw;
  }
  UseCycleOptions(options);
  TerminalCodePage = codePage;
}

void Program::UseCycleOptions(const CycleOptions& options) {
  Parallel = options.parallel;
  PauseMs = options.pauseMs;
  AnswerTimeoutMs = options.answerTimeoutMs;
}

void Program::UseForThisRun(std::optional<int> parallel, std::optional<int> pauseMs,
                            std::optional<int> answerTimeoutMs) {
  Parallel = parallel.value_or(Parallel);
  PauseMs = pauseMs.value_or(PauseMs);
  AnswerTimeoutMs = answerTimeoutMs.value_or(AnswerTimeoutMs);
}

void Program::PickSendFile(const std::string& path) {
  ChooseSendFile(path);
  // A line break would end the settings file's line in the middle of the
  // path, so such a path is used now but not remembered.
  if (std::any_of(path.begin(), path.end(), [](char c) { return c == '\r' || c == '\n'; })) {
    return;
  }
  RememberedSendFile = path;
  SaveTerminalSettings();
}
