// What the operator sets once and finds again at the next start: the send
// cycle's options and the terminals' character set from the Settings dialog,
// and the download file picked in the file-open dialog. Each change is saved
// with the list at once.
#include <algorithm>
#include <stdexcept>
#include <string>

#include "model/program.h"

void Program::ChangeSettings(const CycleOptions& options, const CodePage& codePage) {
  // A running cycle goes on with the options it started with; changing them
  // under it would leave the operator unsure which ones it used.
  if (CycleRunning()) {
    view_.ShowError("Send Data Is Running !");
    return;
  }
  const std::string fault =
      OutOfRange({options.parallel, options.pauseMs, options.answerTimeoutMs, std::nullopt});
  if (!fault.empty()) throw std::invalid_argument(fault);
  // Options the file does not hold are not put in force either.
  kept_.Store(options, codePage);
  inForce_ = options;
  codePageInForce_ = codePage;
}

void Program::PickSendFile(const std::string& path) {
  ChooseSendFile(path);
  // A line break would end the settings file's line in the middle of the
  // path, so such a path is used now but not remembered.
  if (std::any_of(path.begin(), path.end(), [](char c) { return c == '\r' || c == '\n'; })) {
    return;
  }
  kept_.Remember(path);
}
