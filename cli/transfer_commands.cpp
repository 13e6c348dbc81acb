// The `send`, `upload` and `read` commands: a send cycle, one upload and the
// listing of a download file, each run by the window's own handlers.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>

#include "model/program.h"
#include "cli/commands.h"
#include "cli/send_summary.h"

namespace {

// Chooses a data kind by its name on the command line.
void ChooseKind(Program& program, const std::string& kind) {
  static const std::map<std::string, DataKind> kinds = {
      {"plu", DataKind::Plu},           {"barcode", DataKind::Barcode},
      {"ingredient", DataKind::Ingredient}, {"scrollmsg", DataKind::ScrollMsg},
      {"speedkey", DataKind::Speedkey}, {"report", DataKind::Report}};
  program.ChooseDataKind(kinds.at(kind));
}

// Chooses a report type in the "Report Type" group.
void ChooseReportType(Program& program, const std::string& type) {
  const std::map<std::string, TRadioButton*> buttons = {{"plu", &program.Kinds.PluReport},
                                                        {"time", &program.Kinds.TimeReport},
                                                        {"group", &program.Kinds.GroupReport},
                                                        {"dept", &program.Kinds.DeptReport}};
  for (auto& [name, button] : buttons) button->Checked = name == type;
  for (auto* other : {&program.Kinds.ScaleIdReport, &program.Kinds.ClerkReport, &program.Kinds.TaxRateReport}) {
    other->Checked = false;
  }
}

std::string Absolute(const std::string& path) {
  return std::filesystem::absolute(path).string();
}

}  // namespace

int Send(Session& session, const SendOptions& options) {
  Program& program = *session.program;
  SendSummary summary(program);
  session.view.onLogLine = [&](const std::string& line) {
    summary.OnLogLine(line);
    // A safety net behind the answer time-out: a cycle that stops moving fails.
    session.loop.ArmWatchdog(int64_t{options.pauseMs} + options.answerTimeoutMs + 30000, [&] {
      session.view.ShowError("the send cycle stopped moving");
      program.AbandonCycle();
    });
  };
  session.Handle([&] {
    if (!options.kind.empty()) ChooseKind(program, options.kind);
    if (!options.file.empty()) program.ChooseSendFile(Absolute(options.file));
    program.PauseMs = options.pauseMs;
    program.AnswerTimeoutMs = options.answerTimeoutMs;
  });
  const std::size_t errorsBefore = session.view.Errors().size();
  session.Handle([&] { program.SendToTickedTerminals(); });
  if (!program.CycleRunning()) {
    // Refused before any terminal was contacted: no terminal ticked, a bad
    // port or a bad download file, shown as ERROR with its place.
    session.view.Finish();
    return 2;
  }
  session.loop.RunUntil([&] { return !program.CycleRunning(); });
  session.loop.StopWatchdog();
  session.view.Finish();
  summary.Print(stderr);
  if (session.view.Failures() > 0) return 2;
  const bool clean = session.view.Errors().size() == errorsBefore;
  return summary.AllSent() && clean ? 0 : 1;
}

int Upload(Session& session, const UploadOptions& options) {
  Program& program = *session.program;
  const std::string& kind = options.kind;
  session.Handle([&] {
    if (kind.starts_with("report-")) {
      ChooseKind(program, "report");
      ChooseReportType(program, kind.substr(7));
    } else {
      ChooseKind(program, kind);
    }
    if (!options.out.empty()) program.UploadFileBox.Text = options.out;
    program.ServedAddress.Text = options.terminal;
    program.AnswerTimeoutMs = options.answerTimeoutMs;
  });
  session.Handle([&] { program.Connect(); });
  // The connect runs off the loop thread; its line comes back through the loop.
  session.loop.RunUntil([&] { return !program.ConnectPending(); });
  if (!session.LastLogLine().starts_with("- Success Connect ")) {
    session.view.Finish();
    return session.view.Failures() > 0 ? 2 : 1;
  }
  bool ended = false;
  bool failed = false;
  const std::string silence = "no answer from " + options.terminal + " within " +
                              std::to_string(options.answerTimeoutMs) + " ms";
  session.view.onLogLine = [&](const std::string& line) {
    if (line.starts_with("- Success to Disconect ") || line.starts_with("- Fail to Disconnect ")) {
      ended = true;
    }
    if (line.starts_with("- Fail to Send ")) failed = true;
    if (line.starts_with("- Time Out ")) {
      // The upload's own answer time-out has ended it.
      session.view.ShowError(silence);
      failed = true;
    }
    // A safety net behind the answer time-out: an upload that stops moving fails.
    session.loop.ArmWatchdog(int64_t{options.answerTimeoutMs} + 30000, [&] {
      session.view.ShowError(silence);
      failed = true;
      program.Disconnect();
    });
  };
  const std::size_t errorsBefore = session.view.Errors().size();
  session.Handle([&] { program.Upload(); });
  if (session.view.Errors().size() != errorsBefore) {
    session.Handle([&] { program.Disconnect(); });
    session.view.Finish();
    return 2;  // the upload file could not be created
  }
  session.loop.RunUntil([&] { return ended || failed; });
  session.loop.StopWatchdog();
  if (!ended) session.Handle([&] { program.Disconnect(); });
  session.view.Finish();
  return failed ? 1 : 0;
}

int Read(Session& session, const std::string& file) {
  Program& program = *session.program;
  if (!file.empty()) session.Handle([&] { program.ChooseSendFile(Absolute(file)); });
  const std::size_t errorsBefore = session.view.Errors().size();
  session.Handle([&] { program.ReadFile(); });
  session.view.Finish();
  // A fault in the file stops the listing, as it stops a send.
  return session.view.Errors().size() == errorsBefore ? 0 : 2;
}
