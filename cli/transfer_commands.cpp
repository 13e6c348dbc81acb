// The `send`, `upload` and `read` commands: a send cycle, one upload or a
// receive cycle, and the listing of a download file, each run by the
// program's own commands.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <system_error>
#include <utility>
#include <vector>

#include "cli/commands.h"
#include "cli/receive_summary.h"
#include "cli/report_csv_file.h"
#include "cli/send_summary.h"
#include "cli/summary_json_file.h"
#include "cli/verify_summary.h"
#include "cycle/received_file.h"
#include "model/program.h"
#include "model/receive_order.h"

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

// Chooses a report type by its name after "report-" on the command line.
void ChooseReportType(Program& program, const std::string& type) {
  static const std::map<std::string, ReportType> types = {{"plu", ReportType::Plu},
                                                          {"time", ReportType::Time},
                                                          {"group", ReportType::Group},
                                                          {"dept", ReportType::Dept}};
  program.ChooseReportType(types.at(type));
}

std::string Absolute(const std::string& path) {
  return std::filesystem::absolute(path).string();
}

// The name --kind gives the data kind now chosen.
std::string ChosenKind(const KindChoice& choice) {
  static const std::map<DataKind, std::string> names = {{DataKind::Plu, "plu"},
                                                        {DataKind::Barcode, "barcode"},
                                                        {DataKind::Ingredient, "ingredient"},
                                                        {DataKind::ScrollMsg, "scrollmsg"},
                                                        {DataKind::Speedkey, "speedkey"},
                                                        {DataKind::Report, "report"}};
  return names.at(choice.kind);
}

// The folder --out-dir names, made when missing.
std::string OutFolder(const std::string& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) throw ExitStatus(2, "cannot create the folder " + folder + ": " + error.message());
  return Absolute(folder);
}

// A safety net behind the answer time-out: a cycle that stops moving fails.
void WatchCycle(CliRun& run, const std::string& stalled) {
  Program& program = *run.program;
  run.view.onLogLine = [&run, &program, stalled](const std::string&) {
    run.loop.ArmWatchdog(int64_t{program.PauseMs} + program.AnswerTimeoutMs + 30000, [&] {
      run.view.ShowError(stalled);
      program.AbandonCycle();
    });
  };
}

// Runs the started cycle to its end. SIGINT or SIGTERM stops it: the
// terminals in flight are disconnected, and the process ends as the signal
// would have ended it. Returns the signal, or 0.
int AwaitCycle(CliRun& run) {
  Program& program = *run.program;
  int stopSignal = 0;
  run.loop.OnStopSignals([&](int signal) {
    stopSignal = signal;
    run.Handle([&] { program.StopCycle(); });
  });
  run.loop.RunUntil([&] { return !program.CycleRunning(); });
  run.loop.StopWatchdog();
  run.view.Finish();
  return stopSignal;
}

// The options of a cycle, for this run only: a cycle saves nothing.
void UseCycleOptions(Program& program, const CycleRunOptions& options) {
  program.UseForThisRun(options.parallel, options.pauseMs, options.answerTimeoutMs);
}

// The values of the settings file set aside, each with the value this run used.
std::vector<SetAsideSetting> SetAsideInForce(const Program& program) {
  const std::map<std::string, std::string> inForce = {
      {kParallelKey.name, std::to_string(program.Parallel)},
      {kPauseKey.name, std::to_string(program.PauseMs)},
      {kAnswerTimeoutKey.name, std::to_string(program.AnswerTimeoutMs)},
      {kCodePageKey, program.TerminalCodePage.Name()}};
  std::vector<SetAsideSetting> settings = program.SetAsideSettings;
  for (SetAsideSetting& setting : settings) setting.used = inForce.at(setting.key);
  return settings;
}

}  // namespace

int Send(CliRun& run, const SendOptions& options) {
  Program& program = *run.program;
  SummaryJsonFile summaryFile(options.summaryJson);
  SendSummary summary;
  WatchCycle(run, "the send cycle stopped moving");
  run.Handle([&] {
    if (!options.kind.empty()) ChooseKind(program, options.kind);
    if (!options.file.empty()) program.ChooseSendFile(Absolute(options.file));
    UseCycleOptions(program, options.cycle);
  });
  const std::size_t errorsBefore = run.view.Errors().size();
  run.Handle([&] { program.SendToTickedTerminals(); });
  if (!program.CycleRunning()) {
    // Refused before any terminal was contacted: no terminal ticked, a bad
    // port or a bad download file, shown as ERROR with its place.
    run.view.Finish();
    return 2;
  }
  const int stopSignal = AwaitCycle(run);
  summary.NameSetAside(SetAsideInForce(program));
  summary.Finish(ChosenKind(program.Kind()), program.DownloadFilePath(), program.CycleRecords(),
                 program.Results());
  summary.Print(stderr);
  summaryFile.Write(summary.Json());
  if (stopSignal != 0) return 128 + stopSignal;
  if (run.view.Failures() > 0) return 2;
  const bool clean = run.view.Errors().size() == errorsBefore;
  return summary.AllSent() && clean ? 0 : 1;
}

namespace {

// The file a one-terminal upload writes: the one --out names (the CSV takes
// a name that ends in .csv), or the kind's upload file.
void ChooseUploadFile(Program& program, const UploadOptions& options) {
  if (options.out.empty()) return;
  program.ChooseUploadFile(options.format == "csv" ? CsvUploadFilesOf(options.out).uploadFile
                                                   : options.out);
}

// The served terminal's connect came through.
bool ServedConnected(const Program& program) {
  const auto result = program.ServedResult();
  return result && result->phase == SessionPhase::Connected;
}

// The served terminal's upload is over: disconnected, or failed.
bool UploadOver(const Program& program) {
  const auto result = program.ServedResult();
  return result && (result->phase == SessionPhase::Disconnected || !result->reason.empty());
}

// Starts the served terminal's upload: with --out-dir into a new file of its
// own, named by kind, address and date once the upload is over; else into
// the upload file.
std::unique_ptr<ReceivedFile> StartUpload(Program& program, const std::string& outFolder) {
  if (outFolder.empty()) {
    program.Upload();
    return nullptr;
  }
  const auto day = std::chrono::floor<std::chrono::days>(program.LocalTime());
  const uint8_t code = program.Kind().UploadCode();
  auto file = std::make_unique<ReceivedFile>(outFolder,
                                             ReceivedFileStem(code, program.ServedAddress(), day));
  program.Upload(file->TakeFile());
  return file;
}

// The upload into a file of its own is over: the file takes the day's name
// when complete, else the incomplete one. Returns whether it was kept complete.
bool KeepUploadFile(CliRun& run, ReceivedFile& file, bool complete) {
  Program& program = *run.program;
  const uint32_t records = program.ServedResult() ? program.ServedResult()->acknowledged : 0;
  bool kept = false;
  run.Handle([&] {
    file.Keep(complete);
    kept = true;
    if (!complete) program.AddLog(IncompleteLine(records, file.Path()));
  });
  return kept && complete;
}

// One terminal's upload, into the file --out names, or a file named by kind,
// address and date in --out-dir, or the kind's upload file.
int UploadOne(CliRun& run, const UploadOptions& options) {
  Program& program = *run.program;
  const std::string outFolder = options.outDir.empty() ? "" : OutFolder(options.outDir);
  run.Handle([&] {
    ChooseUploadFile(program, options);
    program.Serve(options.terminal);
    program.UseForThisRun(std::nullopt, std::nullopt, options.cycle.answerTimeoutMs);
  });
  run.Handle([&] { program.Connect(); });
  // The connect runs off the loop thread; its result comes back through the loop.
  run.loop.RunUntil([&] { return !program.ConnectPending(); });
  if (!ServedConnected(program)) {
    run.view.Finish();
    return run.view.Failures() > 0 ? 2 : 1;
  }
  bool stalled = false;
  const std::string silence = "no answer from " + options.terminal + " within " +
                              std::to_string(program.AnswerTimeoutMs) + " ms";
  run.view.onLogLine = [&](const std::string&) {
    // A safety net behind the answer time-out: an upload that stops moving fails.
    run.loop.ArmWatchdog(int64_t{program.AnswerTimeoutMs} + 30000, [&] {
      run.view.ShowError(silence);
      stalled = true;
      program.Disconnect();
    });
  };
  const std::size_t errorsBefore = run.view.Errors().size();
  std::unique_ptr<ReceivedFile> ownFile;
  run.Handle([&] { ownFile = StartUpload(program, outFolder); });
  if (run.view.Errors().size() != errorsBefore) {
    run.Handle([&] { program.Disconnect(); });
    run.view.Finish();
    return 2;  // the upload file could not be created
  }
  run.loop.RunUntil([&] { return UploadOver(program); });
  run.loop.StopWatchdog();
  const TerminalResult result = *program.ServedResult();
  if (result.phase != SessionPhase::Disconnected) run.Handle([&] { program.Disconnect(); });
  // The upload's own answer time-out has ended it, or the terminal closed
  // the connection before its end.
  const TransferEnd end = program.ServedTransfer().End;
  if (end == TransferEnd::TimedOut && !stalled) run.view.ShowError(silence);
  if (end == TransferEnd::ClosedByTerminal) {
    run.view.ShowError("the connection to " + options.terminal + " was closed by the terminal");
  }
  bool failed = stalled || !result.reason.empty();
  if (ownFile && !KeepUploadFile(run, *ownFile, !failed)) failed = true;
  run.view.Finish();
  if (failed) return 1;
  if (options.format != "csv") return 0;
  const uint8_t code = program.Kind().UploadCode();
  if (ownFile) return WriteNewCsvBeside(ownFile->Path(), code);
  const CsvUploadFiles files = CsvUploadFilesOf(program.UploadFileName());
  return WriteCsv(Absolute(files.uploadFile), code, Absolute(files.csv));
}

// A receive cycle over every ticked terminal, each into a file of its own;
// its summary on standard error, and as JSON with --summary-json.
int ReceiveFromTicked(CliRun& run, const UploadOptions& options) {
  if (!options.out.empty()) {
    throw ExitStatus(2, "--out names one file: from every ticked terminal, use --out-dir");
  }
  Program& program = *run.program;
  SummaryJsonFile summaryFile(options.summaryJson);
  ReceiveSummary summary;
  WatchCycle(run, "the receive cycle stopped moving");
  std::vector<std::string> reports;  // each terminal's complete report file
  run.view.onReportReceived = [&](const std::string& path, uint8_t) { reports.push_back(path); };
  run.Handle([&] { UseCycleOptions(program, options.cycle); });
  const std::string folder =
      options.outDir.empty() ? ReceivedFolderOf(program.ProgramFolder) : Absolute(options.outDir);
  const std::size_t errorsBefore = run.view.Errors().size();
  run.Handle([&] {
    program.ReceiveFromTerminals({ReceiveOrder::From::Ticked, program.Kind().UploadCode(), folder});
  });
  if (!program.CycleRunning()) {
    // Refused before any terminal was contacted: no terminal ticked, a bad
    // port or a folder that cannot be made.
    run.view.Finish();
    return 2;
  }
  const int stopSignal = AwaitCycle(run);
  summary.NameSetAside(SetAsideInForce(program));
  summary.Finish(options.kind, folder, program.Results());
  summary.Print(stderr);
  summaryFile.Write(summary.Json());
  if (stopSignal != 0) return 128 + stopSignal;
  if (run.view.Failures() > 0) return 2;
  int status = summary.AllReceived() && run.view.Errors().size() == errorsBefore ? 0 : 1;
  if (options.format == "csv") {
    for (const std::string& path : reports) {
      status = std::max(status, WriteNewCsvBeside(path, program.Kind().UploadCode()));
    }
  }
  return status;
}

}  // namespace

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
  });
  return options.terminal == kEveryTickedTerminal ? ReceiveFromTicked(run, options)
                                                  : UploadOne(run, options);
}

int Verify(CliRun& run, const VerifyOptions& options) {
  Program& program = *run.program;
  SummaryJsonFile summaryFile(options.summaryJson);
  VerifySummary summary;
  WatchCycle(run, "the verification stopped moving");
  run.Handle([&] {
    ChooseKind(program, options.kind);
    if (!options.file.empty()) program.ChooseSendFile(Absolute(options.file));
    UseCycleOptions(program, options.cycle);
  });
  const std::size_t errorsBefore = run.view.Errors().size();
  run.Handle([&] { program.VerifyTerminals(options.terminal); });
  if (!program.CycleRunning()) {
    // Refused before any terminal was contacted: no terminal ticked, a bad
    // port or a bad download file, shown as ERROR with its place.
    run.view.Finish();
    return 2;
  }
  const int stopSignal = AwaitCycle(run);
  summary.NameSetAside(SetAsideInForce(program));
  std::vector<TerminalResult> judged;
  for (TerminalResult& result : program.Results()) {
    if (result.judged) judged.push_back(std::move(result));
  }
  // A terminal the cycle gave up on has no verdict: the run is not clean.
  const bool allJudged = judged.size() == program.CycleStates().size();
  summary.Finish(options.kind, program.DownloadFilePath(), program.CycleRecords(),
                 std::move(judged));
  summary.Print(stderr);
  summaryFile.Write(summary.Json());
  if (stopSignal != 0) return 128 + stopSignal;
  if (run.view.Failures() > 0) return 2;
  const bool clean = run.view.Errors().size() == errorsBefore && allJudged;
  return clean ? summary.ExitStatus() : 1;
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
