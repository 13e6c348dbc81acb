// The line writers: each received record becomes one line of the upload file,
// in its kind's format, and the same line in the activity log — unless the
// session reads the records for whoever runs it alone.
#include <string>

#include "records/upload_line.h"
#include "session/terminal_session.h"
#include "session/upload.h"
#include "session/upload_file.h"

namespace {

// Logs the line with the writer's name after it and appends it to the upload
// file, if one is open. A line that cannot be written ends the upload: asking
// for more records would lose them.
void Put(TerminalSession& session, const std::string& line, const char* writer) {
  session.Log(line + writer);
  if (session.OpenUploadFile() && !session.OpenUploadFile()->Write(line)) {
    session.Log("- Fail to Write " + session.OpenUploadFile()->Path());
    session.State().Direction = 0;
  }
}

}  // namespace

void AddPlu(TerminalSession& session, const PluRecord* r) {
  if (r && session.WritesLines())
    Put(session, PluUploadLine(*r, session.TerminalCodePage()), "AddPlu");
}

void AddBarcode(TerminalSession& session, const BarcodeRecord* r) {
  if (r && session.WritesLines())
    Put(session, BarcodeUploadLine(*r, session.TerminalCodePage()), "AddBarcode");
}

void AddScrollMsg(TerminalSession& session, const ScrollMsgRecord* r) {
  if (r && session.WritesLines())
    Put(session, ScrollMsgUploadLine(*r, session.TerminalCodePage()), "AddScrollMsg");
}

void AddIngredient(TerminalSession& session, const IngredientRecord* r) {
  if (r && session.WritesLines())
    Put(session, IngredientUploadLine(*r, session.TerminalCodePage()), "AddIngredient");
}

void AddReportPLU(TerminalSession& session, const ReportPluRecord* r) {
  if (r && session.WritesLines()) Put(session, ReportPluUploadLine(*r), "AddReportPLU");
}

void AddReportTime(TerminalSession& session, const ReportTotalRecord* r) {
  if (r && session.WritesLines()) Put(session, ReportTotalUploadLine(*r), "AddReportTime");
}

void AddReportGroup(TerminalSession& session, const ReportTotalRecord* r) {
  if (r && session.WritesLines()) Put(session, ReportTotalUploadLine(*r), "AddReportGroup");
}

void AddReportDept(TerminalSession& session, const ReportTotalRecord* r) {
  if (r && session.WritesLines()) Put(session, ReportTotalUploadLine(*r), "AddReportDept");
}
