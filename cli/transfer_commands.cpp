// The `send`, `upload`, `verify` and `read` commands: a send cycle, one
// upload or a receive cycle, a verification, and the listing of a download
// file, each one order built from the arguments; its per-run options travel
// in the order and are never saved.
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
#include "cli/kind_arguments.h"
#include "cli/metrics_file.h"
#include "cli/receive_summary.h"
#include "cli/report_csv_file.h"
#include "cli/send_summary.h"
#include "cli/summary_json_file.h"
#include "cli/verify_summary.h"
#include "cycle/received_file.h"
#include "model/program.h"
#include "model/receive_order.h"
#include "records/record_kinds.h"
#include "settings/shop_name.h"
#include "settings/terminal_names.h"

namespace {

// The folder --out-dir names, made when missing.
std::string OutFolder(const std::string& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) throw ExitStatus(2, "cannot create the folder " + folder + ": " + error.message());
  return Absolute(folder);
}

// A safety net behind the answer time-out: a cycle that stops moving fails.
void WatchCycle(CliRun& run, const std::string& stalled, const CycleOptions& options) {
  Program& program = *run.program;
  const int64_t patience = int64_t{options.pauseMs} + options.answerTimeoutMs + 30000;
  run.view.onLogLine = [&run, &program, stalled, patience](const std::string&) {
    run.loop.ArmWatchdog(patience, [&] {
      run.view.ShowError(stalled);
      program.AbandonCycle();
    });
  };
}

// Runs the started cycle to its end (a verification with repair: its last
// cycle's). SIGINT or SIGTERM stops it: the
// terminals in flight are disconnected, and the process ends as the signal
// would have ended it. Returns the signal, or 0.
int AwaitCycle(CliRun& run) {
  Program& program = *run.program;
  int stopSignal = 0;
  run.loop.OnStopSignals([&](int signal) {
    stopSignal = signal;
    run.Handle([&] { program.StopCycle(); });
  });
  run.loop.RunUntil([&] { return !program.CycleRunning() && !program.Repairing(); });
  run.loop.StopWatchdog();
  run.view.Finish();
  return stopSignal;
}

// The options of a cycle, for this run only: an order's options are never saved.
OrderOptions OrderOptionsOf(const CliRun& run, const CycleRunOptions& options) {
  return OrderOptions{options.parallel, options.pauseMs, options.answerTimeoutMs, run.codePage};
}

// The values of the settings file set aside, each with the value this run used.
std::vector<SetAsideSetting> SetAsideInForce(const Program& program, const OrderOptions& order) {
  const CycleOptions used = Resolved(order, program.CycleOptionsInForce());
  const std::map<std::string, std::string> inForce = {
      {kParallelKey.name, std::to_string(used.parallel)},
      {kPauseKey.name, std::to_string(used.pauseMs)},
      {kAnswerTimeoutKey.name, std::to_string(used.answerTimeoutMs)},
      {kCodePageKey, Resolved(order, program.CodePageInForce()).Name()}};
  std::vector<SetAsideSetting> settings = program.SetAsideSettings();
  for (SetAsideSetting& setting : settings) setting.used = inForce.at(setting.key);
  return settings;
}

// What the run's records call it: what ran, the shop (--shop, else the
// settings file's), and the terminals' names.
RunNames NamesOf(const Program& program, std::string ran, const ReportingOptions& reporting) {
  const SettingsFile& settings = *program.Settings();
  return RunNames{std::move(ran), reporting.shop.value_or(ReadShopName(settings)),
                  ReadTerminalNames(settings)};
}

// The run's figures for its metrics file; `repairs`, a repair's sends.
RunFigures RunFiguresOf(RunNames names, std::string kind, CycleKind cycle,
                        const std::vector<TerminalResult>& results,
                        const std::vector<TerminalResult>& repairs = {}) {
  RunFigures figures{std::move(names), std::move(kind), 0, 0, {}};
  for (const TerminalResult& result : results) {
    const TerminalResult* repair = nullptr;
    for (const TerminalResult& send : repairs) {
      if (send.address == result.address) repair = &send;
    }
    figures.terminals.push_back(FiguresOf(cycle, result, repair));
  }
  return figures;
}

}  // namespace

int Send(CliRun& run, const SendOptions& options) {
  Program& program = *run.program;
  SummaryJsonFile summaryFile(options.summaryJson);
  const MetricsFile metricsFile(options.reporting.metrics);
  SendSummary summary;
  // Without --kind the choice of the start-up holds, with its send file.
  SendOrder order{program.Kind().kind, program.DownloadFilePath(), program.Terminals().Ticked(),
                  OrderOptionsOf(run, options.cycle)};
  if (!options.kind.empty()) {
    order.kind = KindChoiceNamed(options.kind).kind;
    order.file = program.DownloadFileOf(order.kind);
  }
  if (!options.file.empty()) order.file = Absolute(options.file);
  if (!options.terminal.empty()) order.entries = {{options.terminal, true}};
  order.changes = options.changes;
  order.deleteMissing = options.deleteMissing;
  WatchCycle(run, "the send cycle stopped moving",
             Resolved(order.options, program.CycleOptionsInForce()));
  const std::size_t errorsBefore = run.view.Errors().size();
  run.Handle([&] { program.Send(order); });
  if (!program.CycleRunning() && run.view.Errors().size() != errorsBefore) {
    // Refused before any terminal was contacted: no terminal ticked, a bad
    // port or a bad download file, shown as ERROR with its place. A changes
    // send whose every terminal needs nothing has ended too, without one.
    run.view.Finish();
    return 2;
  }
  const int stopSignal = AwaitCycle(run);
  summary.NameSetAside(SetAsideInForce(program, order.options));
  const RunNames names =
      NamesOf(program, order.changes ? "changes send" : "send", options.reporting);
  summary.NameRun(names);
  summary.Finish(KindName(order.kind), order.file, program.CycleRecords(), program.Results());
  summary.Print(stderr);
  summaryFile.Write(summary.Json());
  metricsFile.Write(RunFiguresOf(names, KindName(order.kind), CycleKind::Send, program.Results()));
  if (stopSignal != 0) return 128 + stopSignal;
  if (run.view.Failures() > 0) return 2;
  const bool clean = run.view.Errors().size() == errorsBefore;
  return summary.AllSent() && clean ? 0 : 1;
}

namespace {

// The file a one-terminal upload writes: the one --out names (the CSV takes
// a name that ends in .csv), or the kind's upload file.
std::string UploadFileOf(const UploadOptions& options) {
  if (options.out.empty()) return KindUploadFile(KindChoiceNamed(options.kind).kind);
  return options.format == "csv" ? CsvUploadFilesOf(options.out).uploadFile : options.out;
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
std::unique_ptr<ReceivedFile> StartUpload(Program& program, const UploadOrder& order,
                                          const std::string& outFolder) {
  if (outFolder.empty()) {
    program.Upload(order);
    return nullptr;
  }
  const auto day = std::chrono::floor<std::chrono::days>(program.LocalTime());
  auto file =
      std::make_unique<ReceivedFile>(outFolder, ReceivedFileStem(order.code, order.address, day));
  program.Upload(order, file->TakeFile());
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
  const OrderOptions given{std::nullopt, std::nullopt, options.cycle.answerTimeoutMs, run.codePage};
  const UploadOrder order{options.terminal, KindChoiceNamed(options.kind).UploadCode(),
                          UploadFileOf(options), given};
  const TerminalOrder terminal{options.terminal, given};
  run.Handle([&] { program.Connect(terminal); });
  // The connect runs off the loop thread; its result comes back through the loop.
  run.loop.RunUntil([&] { return !program.ConnectPending(); });
  if (!ServedConnected(program)) {
    run.view.Finish();
    return run.view.Failures() > 0 ? 2 : 1;
  }
  bool stalled = false;
  const int answerTimeoutMs = Resolved(given, program.CycleOptionsInForce()).answerTimeoutMs;
  const std::string silence =
      "no answer from " + options.terminal + " within " + std::to_string(answerTimeoutMs) + " ms";
  run.view.onLogLine = [&](const std::string&) {
    // A safety net behind the answer time-out: an upload that stops moving fails.
    run.loop.ArmWatchdog(int64_t{answerTimeoutMs} + 30000, [&] {
      run.view.ShowError(silence);
      stalled = true;
      program.Disconnect(terminal);
    });
  };
  const std::size_t errorsBefore = run.view.Errors().size();
  std::unique_ptr<ReceivedFile> ownFile;
  run.Handle([&] { ownFile = StartUpload(program, order, outFolder); });
  if (run.view.Errors().size() != errorsBefore) {
    run.Handle([&] { program.Disconnect(terminal); });
    run.view.Finish();
    return 2;  // the upload file could not be created
  }
  run.loop.RunUntil([&] { return UploadOver(program); });
  run.loop.StopWatchdog();
  const TerminalResult result = *program.ServedResult();
  if (result.phase != SessionPhase::Disconnected) {
    run.Handle([&] { program.Disconnect(terminal); });
  }
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
  if (ownFile) return WriteNewCsvBeside(ownFile->Path(), order.code);
  const CsvUploadFiles files = CsvUploadFilesOf(order.file);
  return WriteCsv(Absolute(files.uploadFile), order.code, Absolute(files.csv));
}

// A receive cycle over every ticked terminal, each into a file of its own;
// its summary on standard error, and as JSON with --summary-json.
int ReceiveFromTicked(CliRun& run, const UploadOptions& options) {
  if (!options.out.empty()) {
    throw ExitStatus(2, "--out names one file: from every ticked terminal, use --out-dir");
  }
  Program& program = *run.program;
  SummaryJsonFile summaryFile(options.summaryJson);
  const MetricsFile metricsFile(options.reporting.metrics);
  ReceiveSummary summary;
  const std::string folder =
      options.outDir.empty() ? ReceivedFolderOf(program.ProgramFolder()) : Absolute(options.outDir);
  const ReceiveOrder order{ReceiveOrder::From::Ticked, KindChoiceNamed(options.kind).UploadCode(),
                           folder, OrderOptionsOf(run, options.cycle)};
  WatchCycle(run, "the receive cycle stopped moving",
             Resolved(order.options, program.CycleOptionsInForce()));
  std::vector<std::string> reports;  // each terminal's complete report file
  run.view.onReportReceived = [&](const std::string& path, uint8_t) { reports.push_back(path); };
  const std::size_t errorsBefore = run.view.Errors().size();
  run.Handle([&] { program.ReceiveFromTerminals(order); });
  if (!program.CycleRunning()) {
    // Refused before any terminal was contacted: no terminal ticked, a bad
    // port or a folder that cannot be made.
    run.view.Finish();
    return 2;
  }
  const int stopSignal = AwaitCycle(run);
  summary.NameSetAside(SetAsideInForce(program, order.options));
  const RunNames names = NamesOf(program, "receive", options.reporting);
  summary.NameRun(names);
  summary.Finish(options.kind, folder, program.Results());
  summary.Print(stderr);
  summaryFile.Write(summary.Json());
  metricsFile.Write(RunFiguresOf(names, options.kind, CycleKind::Receive, program.Results()));
  if (stopSignal != 0) return 128 + stopSignal;
  if (run.view.Failures() > 0) return 2;
  int status = summary.AllReceived() && run.view.Errors().size() == errorsBefore ? 0 : 1;
  if (options.format == "csv") {
    for (const std::string& path : reports) {
      status = std::max(status, WriteNewCsvBeside(path, order.code));
    }
  }
  return status;
}

}  // namespace

int Upload(CliRun& run, const UploadOptions& options) {
  return options.terminal == kEveryTickedTerminal ? ReceiveFromTicked(run, options)
                                                  : UploadOne(run, options);
}

int Verify(CliRun& run, const VerifyOptions& options) {
  Program& program = *run.program;
  SummaryJsonFile summaryFile(options.summaryJson);
  const MetricsFile metricsFile(options.reporting.metrics);
  VerifySummary summary;
  VerifyOrder order{KindChoiceNamed(options.kind).kind, "", program.Terminals().Ticked(),
                    OrderOptionsOf(run, options.cycle)};
  order.file = options.file.empty() ? program.DownloadFileOf(order.kind) : Absolute(options.file);
  if (!options.terminal.empty()) order.entries = {{options.terminal, true}};
  order.repair = options.repair;
  order.deleteMissing = options.deleteMissing;
  WatchCycle(run, "the verification stopped moving",
             Resolved(order.options, program.CycleOptionsInForce()));
  const std::size_t errorsBefore = run.view.Errors().size();
  run.Handle([&] { program.Verify(order); });
  if (!program.CycleRunning()) {
    // Refused before any terminal was contacted: no terminal ticked, a bad
    // port or a bad download file, shown as ERROR with its place.
    run.view.Finish();
    return 2;
  }
  const int stopSignal = AwaitCycle(run);
  summary.NameSetAside(SetAsideInForce(program, order.options));
  // With repair, each terminal's final verdict, and what was sent to mend it.
  const bool repaired = order.repair && program.LastRepair();
  std::vector<TerminalResult> results =
      repaired ? FinalVerdicts(*program.LastRepair()) : program.Results();
  if (repaired) summary.Repaired(program.LastRepair()->verified, program.LastRepair()->repaired);
  // Every terminal of the run has its figures, one given up on too.
  const RunNames names =
      NamesOf(program, order.repair ? "repair" : "verification", options.reporting);
  const RunFigures figures =
      RunFiguresOf(names, options.kind, CycleKind::Verify, results,
                   repaired ? program.LastRepair()->repaired : std::vector<TerminalResult>{});
  std::vector<TerminalResult> judged;
  for (TerminalResult& result : results) {
    if (result.judged) judged.push_back(std::move(result));
  }
  // A terminal the cycle gave up on has no verdict: the run is not clean.
  const bool allJudged = judged.size() == results.size();
  summary.NameRun(names);
  summary.Finish(options.kind, order.file, program.CycleRecords(), std::move(judged));
  summary.Print(stderr);
  summaryFile.Write(summary.Json());
  metricsFile.Write(figures);
  if (stopSignal != 0) return 128 + stopSignal;
  if (run.view.Failures() > 0) return 2;
  const bool clean = run.view.Errors().size() == errorsBefore && allJudged;
  return clean ? summary.ExitStatus() : 1;
}

int Read(CliRun& run, const std::string& file) {
  Program& program = *run.program;
  const ReadFileOrder order{file.empty() ? program.DownloadFilePath() : Absolute(file),
                            run.codePage};
  const std::size_t errorsBefore = run.view.Errors().size();
  run.Handle([&] { program.ReadFile(order); });
  run.view.Finish();
  // A fault in the file stops the listing, as it stops a send.
  return run.view.Errors().size() == errorsBefore ? 0 : 2;
}
