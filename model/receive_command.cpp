// "Receive…": a receive cycle over the selected entry or the ticked ones,
// each terminal's records or report into a file of its own.
#include <filesystem>
#include <system_error>

#include "cycle/receive_job.h"
#include "cycle/received_file.h"
#include "model/program.h"
#include "text/terminal_port.h"

namespace {

// Makes `folder` when missing; the reason it cannot be, or empty.
std::string MakeFolder(const std::string& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (!error && !std::filesystem::is_directory(folder, error)) {
    error = std::make_error_code(std::errc::not_a_directory);
  }
  return error ? error.message() : "";
}

}  // namespace

void Program::ReceiveFromTerminals(const ReceiveOrder& order) {
  StartReceive(order.from == ReceiveOrder::From::Ticked
                   ? kept_.List().Ticked()
                   : kept_.List().Only(kept_.List().Selected()),
               order);
}

void Program::StartReceive(std::vector<CycleEntry> entries, const ReceiveOrder& order) {
  if (cycles_.RefusedWhileRunning()) return;
  if (Refused(entries, order.options, "No Terminal To Receive From !")) return;
  if (ReceivedKindName(order.code).empty()) {
    view_.ShowError("Nothing To Receive !");
    return;
  }
  if (!ParsePort(kept_.List().Port())) {
    view_.ShowError(BadPortMessage(kept_.List().Port()));
    return;
  }
  const std::string folder = order.folder.empty() ? ReceivedFolderOf(programFolder_) : order.folder;
  if (const std::string reason = MakeFolder(folder); !reason.empty()) {
    view_.ShowError("Cannot create folder \"" + folder + "\". " + reason);
    return;
  }
  auto complete = [this](const std::string& path, uint8_t code) {
    if (IsReportCode(code)) view_.ReportReceived(path, code);
  };
  served_.Release();
  BeginRun(RunKind::Receive, order.code, folder, entries, order.options);
  cycles_.Run(Services(), *this, std::move(entries),
              std::make_unique<ReceiveJob>(order.code, folder, clock_, complete, Keeper()), 0,
              Resolved(order.options, inForce_), Resolved(order.options, codePageInForce_), order);
}
