#include "cycle/receive_job.h"

#include <exception>
#include <utility>

#include "cycle/received_file.h"
#include "session/terminal_session.h"

ReceiveJob::ReceiveJob(uint8_t code, std::string folder, Clock clock, Complete complete)
    : code_(code),
      folder_(std::move(folder)),
      clock_(std::move(clock)),
      complete_(std::move(complete)) {}

void ReceiveJob::Start(TerminalSession& session) {
  const auto day = std::chrono::floor<std::chrono::days>(clock_());
  const std::string path = FreeReceivedFilePath(folder_, code_, session.Address(), day);
  paths_[&session] = path;
  try {
    session.Upload(code_, path);
  } catch (const std::exception& failure) {
    // One terminal's file that cannot be made fails that terminal alone,
    // told in its block of the log; the cycle goes on with the next.
    session.Log(std::string("- ") + failure.what());
    session.Disconnect();
  }
}

void ReceiveJob::Finished(TerminalSession& session) {
  const auto file = paths_.find(&session);
  if (file == paths_.end()) return;
  const std::string path = file->second;
  paths_.erase(file);
  if (!session.Glance().Failed() && complete_) complete_(path, code_);
}
