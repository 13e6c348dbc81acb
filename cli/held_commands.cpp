// The `plan` and `held` commands: what a changes send would send, from the
// held state alone, and what the held state says each terminal holds, or its
// rows forgotten. No terminal is contacted.
#include <cstdio>
#include <ctime>
#include <string>

#include "cli/commands.h"
#include "cli/kind_arguments.h"
#include "cli/plan_report.h"
#include "cli/summary_json_file.h"
#include "model/program.h"
#include "records/record_kinds.h"

int Plan(CliRun& run, const PlanOptions& options) {
  Program& program = *run.program;
  SummaryJsonFile jsonFile(options.json);
  PlanOrder order{program.Kind().kind, program.DownloadFilePath(), program.Terminals().Ticked(),
                  OrderOptions{std::nullopt, std::nullopt, std::nullopt, run.codePage},
                  options.deleteMissing};
  if (!options.kind.empty()) {
    order.kind = KindChoiceNamed(options.kind).kind;
    order.file = program.DownloadFileOf(order.kind);
  }
  if (!options.file.empty()) order.file = Absolute(options.file);
  if (!options.terminal.empty()) order.entries = {{options.terminal, true}};
  const SendPlan plan = program.Plan(order);
  if (!plan.error.empty()) throw ExitStatus(2, plan.error);
  if (!plan.heldProblem.empty()) {
    std::fprintf(stderr, "%s\n", HeldProblemLine(plan.heldProblem).c_str());
  }
  const RecordKind& kind = *KindOfCode(CodeOf(order.kind));
  std::fputs(PlanText(kind, plan, options.list).c_str(), stdout);
  jsonFile.Write(PlanJson(kind, order.file, plan, options.list));
  return 0;
}

namespace {

std::string LocalTimeText(int64_t when) {
  const auto time = static_cast<std::time_t>(when);
  std::tm local{};
  localtime_r(&time, &local);
  char text[40];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

int Forget(CliRun& run, const std::string& terminal) {
  if (terminal.empty()) throw ExitStatus(2, "--forget needs the --terminal to forget");
  std::string error;
  if (!run.program->ForgetHeld(terminal, error)) throw ExitStatus(2, error);
  std::printf("Forgot what %s holds\n", terminal.c_str());
  return 0;
}

}  // namespace

int Held(CliRun& run, const HeldOptions& options) {
  if (options.forget) return Forget(run, options.terminal);
  const uint8_t code = options.kind.empty() ? 0 : KindNamed(options.kind)->code;
  std::string error;
  const auto summaries = run.program->HeldSummaries(options.terminal, code, error);
  if (!summaries) throw ExitStatus(2, error);
  std::printf("%-20s %5s %-10s %8s  %-19s  %s\n", "terminal", "port", "kind", "records",
              "last acknowledged", "file");
  for (const HeldSummary& held : *summaries) {
    const RecordKind* kind = KindOfCode(held.code);
    std::printf("%-20s %5d %-10s %8lld  %-19s  %s\n", held.terminal.address.c_str(),
                held.terminal.port, kind ? kind->name : "?", static_cast<long long>(held.records),
                LocalTimeText(held.lastWhen).c_str(),
                held.file.empty() ? "(read from the terminal)" : held.file.c_str());
  }
  return 0;
}
