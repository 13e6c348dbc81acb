// The `send`, `upload` and `read` commands: a send cycle, one upload and the
// listing of a download file, each run by the program's own commands.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>
#include <utility>

#include "cli/commands.h"
#include "cli/report_csv_file.h"
#include "cli/send_summary.h"
#include "model/program.h"

namespace {

// Chooses a data kind by its name on the command line.
void ChooseKind(Program& program, const std::string& kind) {
  static const std::map<std::string, DataKind> kinds = {{"plu", DataKind::Plu},
                                                        {"barcode", DataKind::Barcode},
                                                        {"ingredient", DataKind::Ingredient},
                                                        {"scrollmsg", DataKind::ScrollMsg},
                                                        {"speedkey", DataKind::Speedkey},
                                                        {"report", DataKind::Report}};
  program.ChooseDataKind(kinds.at(kind));
}

// Chooses a report type in the "Report Type" group.
void ChooseReportType(Program& program, const std::string& type) {
  const std::map<std::string, TRadioButton*> buttons = {{"plu", &program.Kinds.PluReport},
                                                        {"time", &program.Kinds.TimeReport},
                                                        {"group", &program.Kinds.GroupReport},
                                                        {"dept", &program.Kinds.DeptReport}};
  for (auto& [name, button] : buttons) button->Checked = name == type;
  for (auto* other :
       {&program.Kinds.ScaleIdReport, &program.Kinds.ClerkReport, &program.Kinds.TaxRateReport}) {
    other->Checked = false;
  }
}

std::string Absolute(const std::string& path) {
  return std::filesystem::absolute(path).string();
}

// The name --kind gives the data kind now chosen.
std::string ChosenKind(const DataKindButtons& kinds) {
  const std::pair<const TRadioButton*, const char*> names[] = {{&kinds.Plu, "plu"},
                                                               {&kinds.Barcode, "barcode"},
                                                               {&kinds.Ingredient, "ingredient"},
                                                               {&kinds.ScrollMsg, "scrollmsg"},
                                                               {&kinds.Speedkey, "speedkey"},
                                                               {&kinds.Report, "report"}};
  for (const auto& [button, name] : names) {
    if (button->Checked) return name;
  }
  return "";
}

void WriteSummaryJson(const SendSummary& summary, const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "w");
  const std::string json = summary.Json();
  const bool written = file && std::fwrite(json.data(), 1, json.size(), file) == json.size();
  if (file && std::fclose(file) != 0) file = nullptr;
  if (!written || !file) throw ExitStatus(2, "cannot write the summary to " + path);
}

}  // namespace

int Send(CliRun& run, const SendOptions& options) {
  Program& program = *run.program;
  SendSummary summary;
  run.view.onLogLine = [&](const std::string&) {
    // A safety net behind the answer time-out: a cycle that stops moving fails.
    run.loop.ArmWatchdog(int64_t{program.PauseMs} + program.AnswerTimeoutMs + 30000, [&] {
      run.view.ShowError("the send cycle stopped moving");
      program.AbandonCycle();
    });
  };
  run.Handle([&] {
    if (!options.kind.empty()) ChooseKind(program, options.kind);
    if (!options.file.empty()) program.ChooseSendFile(Absolute(options.file));
    // For this run only: a send saves nothing.
    program.Parallel = options.parallel.value_or(program.Parallel);
    program.PauseMs = options.pauseMs.value_or(program.PauseMs);
    program.AnswerTimeoutMs = options.answerTimeoutMs.value_or(program.AnswerTimeoutMs);
  });
  const std::size_t errorsBefore = run.view.Errors().size();
  run.Handle([&] { program.SendToTickedTerminals(); });
  if (!program.CycleRunning()) {
    // Refused before any terminal was contacted: no terminal ticked, a bad
    // port or a bad download file, shown as ERROR with its place.
    run.view.Finish();
    return 2;
  }
  // SIGINT or SIGTERM stops the cycle: the terminals in flight are
  // disconnected, and the process ends as the signal would have ended it.
  int stopSignal = 0;
  run.loop.OnStopSignals([&](int signal) {
    stopSignal = signal;
    run.Handle([&] { program.StopCycle(); });
  });
  run.loop.RunUntil([&] { return !program.CycleRunning(); });
  run.loop.StopWatchdog();
  run.view.Finish();
  summary.Finish(ChosenKind(program.Kinds), program.DownloadFilePath(), program.CycleRecords(),
                 program.CycleStates());
  summary.Print(stderr);
  if (!options.summaryJson.empty()) WriteSummaryJson(summary, options.summaryJson);
  if (stopSignal != 0) return 128 + stopSignal;
  if (run.view.Failures() > 0) return 2;
  const bool clean = run.view.Errors().size() == errorsBefore;
  return summary.AllSent() && clean ? 0 : 1;
}

int Upload(CliRun& run, const UploadOptions& options) {
  Program& program = *run.program;
  const std::string& kind = options.kind;
  run.Handle([&] {
    if (kind.starts_with("report-")) {
      ChooseKind(program, "report");
      ChooseReportType(program, kind.substr(7));
    } else {
      ChooseKind(program, kind);
    }
    if (!options.out.empty()) program.UploadFileBox.Text = options.out;
    program.ServedAddress.Text = options.terminal;
    program.AnswerTimeoutMs = options.answerTimeoutMs.value_or(program.AnswerTimeoutMs);
  });
  run.Handle([&] { program.Connect(); });
  // The connect runs off the loop thread; its line comes back through the loop.
  run.loop.RunUntil([&] { return !program.ConnectPending(); });
  if (!run.LastLogLine().starts_with("- Success Connect ")) {
    run.view.Finish();
    return run.view.Failures() > 0 ? 2 : 1;
  }
  bool ended = false;
  bool failed = false;
  const std::string silence = "no answer from " + options.terminal + " within " +
                              std::to_string(program.AnswerTimeoutMs) + " ms";
  run.view.onLogLine = [&](const std::string& line) {
    if (line.starts_with("- Success to Disconect ") || line.starts_with("- Fail to Disconnect ")) {
      ended = true;
    }
    if (line.starts_with("- Fail to Send ")) failed = true;
    if (line.starts_with("- Time Out ")) {
      // The upload's own answer time-out has ended it.
      run.view.ShowError(silence);
      failed = true;
    }
    // A safety net behind the answer time-out: an upload that stops moving fails.
    run.loop.ArmWatchdog(int64_t{program.AnswerTimeoutMs} + 30000, [&] {
      run.view.ShowError(silence);
      failed = true;
      program.Disconnect();
    });
  };
  const std::size_t errorsBefore = run.view.Errors().size();
  run.Handle([&] { program.Upload(); });
  if (run.view.Errors().size() != errorsBefore) {
    run.Handle([&] { program.Disconnect(); });
    run.view.Finish();
    return 2;  // the upload file could not be created
  }
  run.loop.RunUntil([&] { return ended || failed; });
  run.loop.StopWatchdog();
  if (!ended) run.Handle([&] { program.Disconnect(); });
  run.view.Finish();
  if (failed) return 1;
  if (options.format != "csv") return 0;
  return WriteCsvBeside(std::filesystem::absolute(program.UploadFileBox.Text).string(),
                        program.Kinds.UploadCode());
}

int Read(CliRun& run, const std::string& file) {
  Program& program = *run.program;
  if (!file.empty()) run.Handle([&] { program.ChooseSendFile(Absolute(file)); });
  const std::size_t errorsBefore = run.view.Errors().size();
  run.Handle([&] { program.ReadFile(); });
  run.view.Finish();
  // A fault in the file stops the listing, as it stops a send.
  return run.view.Errors().size() == errorsBefore ? 0 : 2;
}
