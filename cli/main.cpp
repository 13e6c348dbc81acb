// orlent-cli: the headless front end. The same program core as the
// window, driven from the command line on an Asio event loop.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <map>
#include <string>

#include "cli/commands.h"
#include "records/record_kinds.h"
#include "settings/terminal_settings.h"
#include "text/code_page.h"

namespace {

// The kinds a download sends, and those a receive writes into a file.
const std::vector<std::string> kSendKinds =
    KindNames([](const RecordKind& k) { return k.writable; });
const std::vector<std::string> kUploadKinds =
    KindNames([](const RecordKind& k) { return k.received; });

// Every number given on the command line has a range that makes sense; one
// outside it is refused before anything is done. The send cycle's options
// have the ranges of their keys in the settings file.
const CLI::Range kEntryNumber(1, 1000000);
const CLI::Range kParallel(kParallelKey.min, kParallelKey.max);
const CLI::Range kPauseMs(kPauseKey.min, kPauseKey.max);
const CLI::Range kAnswerTimeoutMs(kAnswerTimeoutKey.min, kAnswerTimeoutKey.max);

// A character set name the system converts, checked before anything is done.
const CLI::Validator kCodePage(
    [](std::string& name) { return CodePage::Named(name) ? "" : UnknownCodePageMessage(name); },
    "NAME");
const char* const kCodePageHelp =
    "the terminals' character set for this run, as iconv names it, or none (default: "
    "TerminalCodePage in Orlent.ini, else windows-1252)";

// The cycle's settings that the command line gives, as the settings file
// would hold them, so that a value of the file set aside names the one used.
std::map<std::string, std::string> GivenSettings(const CycleRunOptions& cycle) {
  std::map<std::string, std::string> given;
  if (cycle.parallel) given[kParallelKey.name] = std::to_string(*cycle.parallel);
  if (cycle.pauseMs) given[kPauseKey.name] = std::to_string(*cycle.pauseMs);
  if (cycle.answerTimeoutMs) given[kAnswerTimeoutKey.name] = std::to_string(*cycle.answerTimeoutMs);
  return given;
}

struct Arguments {
  RunOptions options;
  int number = 0;
  std::string address;
  std::string onOff;
  std::string port;
  SendOptions send;
  UploadOptions upload;
  VerifyOptions verify;
  PlanOptions plan;
  HeldOptions held;
  ImportOptions import;
  std::string readFile;
  FleetReportOptions fleet;
};

constexpr const char* kMetricsHelp =
    "write the run's figures to this file in the Prometheus text format, for node_exporter's "
    "textfile collector (see the README)";

constexpr const char* kNoHeldHelp =
    "neither read nor keep what each terminal holds (Orlent.db) in this run";

void DeclareVerify(CLI::App& app, Arguments& a, std::function<int()>& command) {
  auto* verify = app.add_subcommand(
      "verify", "compare the ticked terminals' records with the download file, field by field");
  verify->add_option("--kind", a.verify.kind, "data kind")
      ->required()
      ->check(CLI::IsMember(kSendKinds));
  verify->add_option("--file", a.verify.file, "download file (default: the kind's Send File)");
  verify->add_option("--terminal", a.verify.terminal,
                     "terminal address (default: every ticked terminal)");
  verify
      ->add_option("--parallel", a.verify.cycle.parallel,
                   "terminals read at the same time, 1 to 64")
      ->check(kParallel);
  verify->add_option("--pause-ms", a.verify.cycle.pauseMs, "wait before each connect")
      ->check(kPauseMs);
  verify->add_option("--answer-timeout-ms", a.verify.cycle.answerTimeoutMs, "answer time-out")
      ->check(kAnswerTimeoutMs);
  verify->add_option("--code-page", a.options.codePage, kCodePageHelp)->check(kCodePage);
  verify->add_option("--summary-json", a.verify.summaryJson,
                     "write the run as JSON to this file (fields: see the README)");
  verify->add_option("--metrics", a.verify.reporting.metrics, kMetricsHelp);
  verify->add_flag("--repair", a.verify.repair,
                   "then send each differing terminal exactly what differs or is missing, and "
                   "verify it again");
  verify
      ->add_flag("--delete-missing", a.verify.deleteMissing,
                 "with --repair: delete the records only the terminal holds")
      ->needs("--repair");
  verify->add_flag_callback(
      "--no-held", [&a] { a.options.useHeld = false; }, kNoHeldHelp);
  verify->callback([&a, &command] {
    command = [&a] {
      a.options.convertsTexts = true;
      a.options.givenSettings = GivenSettings(a.verify.cycle);
      CliRun s(a.options);
      return Verify(s, a.verify);
    };
  });
}

void DeclareHeld(CLI::App& app, Arguments& a, std::function<int()>& command) {
  auto* plan = app.add_subcommand(
      "plan", "what send --changes would send to each ticked terminal; none is contacted");
  plan->add_option("--kind", a.plan.kind, "data kind")->check(CLI::IsMember(kSendKinds));
  plan->add_option("--file", a.plan.file, "download file (default: the kind's Send File)");
  plan->add_option("--terminal", a.plan.terminal,
                   "terminal address (default: every ticked terminal)");
  plan->add_flag("--delete-missing", a.plan.deleteMissing,
                 "also the records a terminal holds that the file no longer has, to delete");
  plan->add_flag("--list", a.plan.list, "each record that changes, and how");
  plan->add_option("--json", a.plan.json, "write the plan as JSON to this file (see the README)");
  plan->add_option("--code-page", a.options.codePage, kCodePageHelp)->check(kCodePage);
  plan->callback([&a, &command] {
    command = [&a] {
      a.options.printLog = false;
      a.options.convertsTexts = true;
      CliRun s(a.options);
      return Plan(s, a.plan);
    };
  });
  auto* held = app.add_subcommand(
      "held", "what each terminal is held to hold: records per kind, last acknowledged, file");
  held->add_option("--terminal", a.held.terminal, "terminal address (default: every terminal)");
  held->add_option("--kind", a.held.kind, "data kind (default: every kind)")
      ->check(CLI::IsMember(kSendKinds));
  held->add_flag("--forget", a.held.forget,
                 "forget what the --terminal holds (a terminal swapped or reset)");
  held->callback([&a, &command] {
    command = [&a] {
      a.options.printLog = false;
      CliRun s(a.options);
      return Held(s, a.held);
    };
  });
}

// Works on summary files alone: no program folder, no link library.
void DeclareFleetReport(CLI::App& app, Arguments& a, std::function<int()>& command) {
  auto* fleet = app.add_subcommand(
      "fleet-report", "the terminals of many runs' JSON summaries, of many shops, as one table");
  fleet->add_option("SUMMARY", a.fleet.summaries, "a JSON summary, or a folder searched for *.json")
      ->required();
  fleet->add_option("--csv", a.fleet.csv, "also write the table as CSV to this file");
  fleet->add_option("--html", a.fleet.html, "also write the table as an HTML page to this file");
  fleet->callback([&a, &command] { command = [&a] { return FleetReport(a.fleet); }; });
}

// Declares the commands; each callback runs its command in a new run of the program.
void DeclareCommands(CLI::App& app, Arguments& a, std::function<int()>& command) {
  auto* terminals = app.add_subcommand("terminals", "list the port and the terminal entries");
  // Callbacks run after this function has returned: they capture no locals by reference.
  terminals->callback([terminals, &a, &command] {
    if (!terminals->get_subcommands().empty()) return;
    command = [&a] {
      a.options.printLog = false;
      CliRun s(a.options);
      return ListTerminals(s);
    };
  });
  auto terminalCommand = [&a, &command](auto run) {
    return [&a, &command, run] {
      command = [&a, run] {
        a.options.printLog = false;
        a.options.role = FolderRole::Editor;
        CliRun s(a.options);
        return run(s);
      };
    };
  };
  auto* add = terminals->add_subcommand("add", "add a terminal, as the Add button");
  add->add_option("ADDRESS", a.address, "IP address")->required();
  add->callback(terminalCommand([&a](CliRun& s) { return AddTerminal(s, a.address); }));
  auto* del = terminals->add_subcommand("delete", "delete entry N, as Delete with it selected");
  del->add_option("N", a.number, "entry number, from 1")->required()->check(kEntryNumber);
  del->callback(terminalCommand([&a](CliRun& s) { return DeleteTerminal(s, a.number); }));
  auto* change = terminals->add_subcommand("change", "change entry N, as Change with it selected");
  change->add_option("N", a.number, "entry number, from 1")->required()->check(kEntryNumber);
  change->add_option("ADDRESS", a.address, "new IP address")->required();
  change->callback(
      terminalCommand([&a](CliRun& s) { return ChangeTerminal(s, a.number, a.address); }));
  auto* tick = terminals->add_subcommand("tick", "tick or untick entry N, then save");
  tick->add_option("N", a.number, "entry number, from 1")->required()->check(kEntryNumber);
  tick->add_option("STATE", a.onOff, "on or off")->required()->check(CLI::IsMember({"on", "off"}));
  tick->callback(
      terminalCommand([&a](CliRun& s) { return TickTerminal(s, a.number, a.onOff == "on"); }));
  auto* port = terminals->add_subcommand("port", "set the port of all terminals, then save");
  port->add_option("PORT", a.port, "TCP port")->required();
  port->callback(terminalCommand([&a](CliRun& s) { return SetPort(s, a.port); }));

  auto* send = app.add_subcommand("send", "a send cycle over the ticked terminals");
  send->add_option("--kind", a.send.kind, "data kind")->check(CLI::IsMember(kSendKinds));
  send->add_option("--file", a.send.file, "download file, as picked in the file-open dialog");
  send->add_option("--terminal", a.send.terminal,
                   "terminal address (default: every ticked terminal)");
  send->add_option("--parallel", a.send.cycle.parallel,
                   "terminals served at the same time, 1 to 64 (default: TerminalParallel in "
                   "Orlent.ini, else 1)")
      ->check(kParallel);
  send->add_option("--pause-ms", a.send.cycle.pauseMs,
                   "wait before each connect (default: TerminalPause in Orlent.ini, else 3000)")
      ->check(kPauseMs);
  send->add_option("--answer-timeout-ms", a.send.cycle.answerTimeoutMs,
                   "answer time-out (default: TerminalAnswerTimeout in Orlent.ini, else 10000)")
      ->check(kAnswerTimeoutMs);
  send->add_option("--code-page", a.options.codePage, kCodePageHelp)->check(kCodePage);
  send->add_option("--summary-json", a.send.summaryJson,
                   "write the run as JSON to this file (fields: see the README)");
  send->add_option("--metrics", a.send.reporting.metrics, kMetricsHelp);
  auto* changes =
      send->add_flag("--changes", a.send.changes,
                     "send each terminal only the records it does not hold as the file has them");
  send->add_flag("--delete-missing", a.send.deleteMissing,
                 "with --changes: delete the records a terminal holds that the file no longer has")
      ->needs(changes);
  send->add_flag_callback(
          "--no-held", [&a] { a.options.useHeld = false; }, kNoHeldHelp)
      ->excludes(changes);
  send->callback([&a, &command] {
    command = [&a] {
      a.options.convertsTexts = true;
      a.options.givenSettings = GivenSettings(a.send.cycle);
      CliRun s(a.options);
      return Send(s, a.send);
    };
  });

  auto* upload = app.add_subcommand(
      "upload", "read records or a report from one terminal, or from every ticked one");
  upload->add_option("--kind", a.upload.kind, "data kind")
      ->required()
      ->check(CLI::IsMember(kUploadKinds));
  upload
      ->add_option("--terminal", a.upload.terminal,
                   "terminal address, or \"all\": every ticked terminal, one file each")
      ->required();
  auto* out = upload->add_option("--out", a.upload.out, "upload file in the current directory");
  upload
      ->add_option("--out-dir", a.upload.outDir,
                   "folder of files named by kind, address and date, made when missing "
                   "(default with --terminal all: received/ in the program folder)")
      ->excludes(out);
  upload
      ->add_option("--parallel", a.upload.cycle.parallel,
                   "with --terminal all: terminals served at the same time, 1 to 64")
      ->check(kParallel);
  upload
      ->add_option("--pause-ms", a.upload.cycle.pauseMs,
                   "with --terminal all: wait before each connect (default: TerminalPause)")
      ->check(kPauseMs);
  upload
      ->add_option("--answer-timeout-ms", a.upload.cycle.answerTimeoutMs,
                   "answer time-out (default: TerminalAnswerTimeout in Orlent.ini, else 10000)")
      ->check(kAnswerTimeoutMs);
  upload->add_option("--format", a.upload.format, "text, or csv: a report also as CSV beside it")
      ->check(CLI::IsMember({"text", "csv"}));
  upload->add_option("--code-page", a.options.codePage, kCodePageHelp)->check(kCodePage);
  upload->add_option("--summary-json", a.upload.summaryJson,
                     "with --terminal all: write the run as JSON to this file (see the README)");
  upload->add_option("--metrics", a.upload.reporting.metrics,
                     "with --terminal all: " + std::string(kMetricsHelp));
  upload->add_flag_callback(
      "--no-held", [&a] { a.options.useHeld = false; }, kNoHeldHelp);
  upload->callback([&a, &command] {
    if (a.upload.format == "csv" && !a.upload.kind.starts_with("report-")) {
      throw CLI::ValidationError("--format", "csv is for the reports (--kind report-...)");
    }
    if (!a.upload.summaryJson.empty() && a.upload.terminal != kEveryTickedTerminal) {
      throw CLI::ValidationError("--summary-json", "a summary is written for --terminal all");
    }
    if (!a.upload.reporting.metrics.empty() && a.upload.terminal != kEveryTickedTerminal) {
      throw CLI::ValidationError("--metrics", "metrics are written for --terminal all");
    }
    command = [&a] {
      a.options.convertsTexts = !a.upload.kind.starts_with("report-");  // reports hold no texts
      a.options.givenSettings = GivenSettings(a.upload.cycle);
      CliRun s(a.options);
      return Upload(s, a.upload);
    };
  });

  DeclareVerify(app, a, command);
  DeclareHeld(app, a, command);
  DeclareFleetReport(app, a, command);

  auto* import = app.add_subcommand(
      "import", "make a download file from a shop system's export, through an import profile");
  import->add_option("--profile", a.import.profile, "profile name in Import-Profiles.ini")
      ->required();
  import->add_option("SOURCE", a.import.source, "the export: delimited text")->required();
  import->add_option(
      "--out", a.import.out,
      "download file to write (default: the kind's download file in the program folder)");
  import->add_flag("--skip-bad", a.import.skipBad,
                   "write the lines that can be taken, the refused ones in <out>.refused.txt");
  import->add_option("--code-page", a.options.codePage, kCodePageHelp)->check(kCodePage);
  import->callback([&a, &command] {
    command = [&a] {
      a.options.printLog = false;
  a.options.convertsTexts = true;
  CliRun s(a.options);
  return Import(s, a.import);
};
}  // namespace
);

auto* read = app.add_subcommand("read", "list a PLU download file, as \"&Read File\"");
read->add_option("--file", a.readFile, "file to list, as picked in the file-open dialog");
read->add_option("--code-page", a.options.codePage, kCodePageHelp)->check(kCodePage);
read->callback([&a, &command] {
  command = [&a] {
    a.options.convertsTexts = true;
    CliRun s(a.options);
    return Read(s, a.readFile);
  };
});
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"Orlent: item data to and from weighing terminals, without a window"};
  app.require_subcommand(1);
  Arguments arguments;
  app.add_option("--folder", arguments.options.folder,
                 "program folder (Orlent.ini, download files), used as given; default: the "
                 "executable's folder, or the per-user folder when that cannot be written");
  app.footer(
      "Where the settings live: Orlent.ini and the download files are in the executable's\n"
      "folder when you may write to it (a portable copy). An installed Orlent, whose folder\n"
      "only root may write, keeps them in ${XDG_DATA_HOME:-$HOME/.local/share}/orlent instead,\n"
      "made on first use with the sample files copied in. Upload files go to the current\n"
      "directory; the files of upload --terminal all go to received/ in that folder.");
  app.add_option_function<std::string>(
      "--shop",
      [&arguments](const std::string& name) {
        for (ReportingOptions* reporting : {&arguments.send.reporting, &arguments.upload.reporting,
                                            &arguments.verify.reporting}) {
          reporting->shop = name;
        }
      },
      "the shop named in the summaries and metrics of this run (default: Name in Orlent.ini's "
      "[Shop] section)");
  app.add_option("--started-by", arguments.options.startedBy,
                 "who started this run, as the journal names it (default: $ORLENT_STARTED_BY, "
                 "else \"command line\")");
  app.add_option("--link-library", arguments.options.linkLibrary,
                 "bind this library instead of libtermlink.so from the executable's folder");
  std::function<int()> command;
  DeclareCommands(app, arguments, command);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int status = app.exit(e);
    return status == 0 ? 0 : 2;
  }
  try {
    return command();
  } catch (const ExitStatus& e) {
    std::fprintf(stderr, "ERROR: %s\n", e.what());
    return e.status;
  }
}
