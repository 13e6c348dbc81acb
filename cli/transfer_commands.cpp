// The `send`, `upload` and `read` commands: a send cycle, one upload and the
// listing of a download file, each run by the window's own handlers.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>

#include "app/tform1.h"
#include "cli/commands.h"
#include "cli/send_summary.h"

namespace {

// Chooses a data kind as a click on its radio button does.
void ChooseKind(TForm1& form, const std::string& kind) {
  static const std::map<std::string, void (TForm1::*)()> handlers = {
      {"plu", &TForm1::RadioButton1Click},         {"barcode", &TForm1::RadioButton2Click},
      {"ingredient", &TForm1::RadioButton11Click}, {"scrollmsg", &TForm1::RadioButton12Click},
      {"speedkey", &TForm1::RadioButton13Click},   {"report", &TForm1::RadioButton3Click}};
  (form.*handlers.at(kind))();
}

// Chooses a report type in the "Report Type" group.
void ChooseReportType(TForm1& form, const std::string& type) {
  const std::map<std::string, TRadioButton*> buttons = {{"plu", &form.RadioButton4},
                                                        {"time", &form.RadioButton5},
                                                        {"group", &form.RadioButton6},
                                                        {"dept", &form.RadioButton7}};
  for (auto& [name, button] : buttons) button->Checked = name == type;
  for (auto* other : {&form.RadioButton8, &form.RadioButton9, &form.RadioButton10}) {
    other->Checked = false;
  }
}

std::string Absolute(const std::string& path) {
  return std::filesystem::absolute(path).string();
}

}  // namespace

int Send(Session& session, const SendOptions& options) {
  TForm1& form = *session.form;
  SendSummary summary(form);
  session.view.onLogLine = [&](const std::string& line) {
    summary.OnLogLine(line);
    // A safety net behind the answer time-out: a cycle that stops moving fails.
    session.loop.ArmWatchdog(int64_t{options.pauseMs} + options.answerTimeoutMs + 30000, [&] {
      session.view.ShowError("the send cycle stopped moving");
      form.CycleMode.clear();
    });
  };
  session.Handle([&] {
    if (!options.kind.empty()) ChooseKind(form, options.kind);
    if (!options.file.empty()) form.FileOpen1Accept(Absolute(options.file));
    form.PauseTimer.Interval = options.pauseMs;
    form.AnswerTimeoutMs = options.answerTimeoutMs;
  });
  const std::size_t errorsBefore = session.view.Errors().size();
  session.Handle([&] { form.BtnSendClick(); });
  if (form.CycleMode.empty() && !form.PauseTimer.Enabled) {
    // Refused before any terminal was contacted: no terminal ticked, a bad
    // port or a bad download file, shown as ERROR with its place.
    session.view.Finish();
    return 2;
  }
  session.loop.RunUntil([&] { return form.CycleMode.empty() && !form.PauseTimer.Enabled; });
  session.loop.StopWatchdog();
  session.view.Finish();
  summary.Print(stderr);
  if (session.view.Failures() > 0) return 2;
  const bool clean = session.view.Errors().size() == errorsBefore;
  return summary.AllSent() && clean ? 0 : 1;
}

int Upload(Session& session, const UploadOptions& options) {
  TForm1& form = *session.form;
  const std::string& kind = options.kind;
  session.Handle([&] {
    if (kind.starts_with("report-")) {
      ChooseKind(form, "report");
      ChooseReportType(form, kind.substr(7));
    } else {
      ChooseKind(form, kind);
    }
    if (!options.out.empty()) form.UploadFileBox.Text = options.out;
    form.ServedAddress.Text = options.terminal;
    form.AnswerTimeoutMs = options.answerTimeoutMs;
  });
  session.Handle([&] { form.Action1Execute(); });
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
      form.DisconnectTerminal();
    });
  };
  const std::size_t errorsBefore = session.view.Errors().size();
  session.Handle([&] { form.Action3Execute(); });
  if (session.view.Errors().size() != errorsBefore) {
    session.Handle([&] { form.DisconnectTerminal(); });
    session.view.Finish();
    return 2;  // the upload file could not be created
  }
  session.loop.RunUntil([&] { return ended || failed; });
  session.loop.StopWatchdog();
  if (!ended) session.Handle([&] { form.DisconnectTerminal(); });
  session.view.Finish();
  return failed ? 1 : 0;
}

int Read(Session& session, const std::string& file) {
  TForm1& form = *session.form;
  if (!file.empty()) session.Handle([&] { form.FileOpen1Accept(Absolute(file)); });
  const std::size_t errorsBefore = session.view.Errors().size();
  session.Handle([&] { form.Action6Execute(); });
  session.view.Finish();
  // A fault in the file stops the listing, as it stops a send.
  return session.view.Errors().size() == errorsBefore ? 0 : 2;
}
