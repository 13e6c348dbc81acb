// The line writers: each received record becomes one line of the upload file,
// in its kind's format, and the same line in the activity log.
#include <string>

#include "app/tform1.h"
#include "link/upload_file.h"
#include "records/upload_line.h"
#include "transfer/upload.h"

namespace {

// Logs the line with the writer's name after it and appends it to the upload
// file, if one is open. A line that cannot be written ends the upload: asking
// for more records would lose them.
void Put(TForm1& form, const std::string& line, const char* writer) {
  form.AddLog(line + writer);
  if (form.OpenUploadFile && !form.OpenUploadFile->Write(line)) {
    form.AddLog("- Fail to Write " + form.OpenUploadFile->Path());
    form.Transfer.Direction = 0;
  }
}

}  // namespace

void AddPlu(TForm1& form, const PluRecord* r) {
  if (r) Put(form, PluUploadLine(*r), "AddPlu");
}

void AddBarcode(TForm1& form, const BarcodeRecord* r) {
  if (r) Put(form, BarcodeUploadLine(*r), "AddBarcode");
}

void AddScrollMsg(TForm1& form, const ScrollMsgRecord* r) {
  if (r) Put(form, ScrollMsgUploadLine(*r), "AddScrollMsg");
}

void AddIngredient(TForm1& form, const IngredientRecord* r) {
  if (r) Put(form, IngredientUploadLine(*r), "AddIngredient");
}

void AddReportPLU(TForm1& form, const ReportPluRecord* r) {
  if (r) Put(form, ReportPluUploadLine(*r), "AddReportPLU");
}

void AddReportTime(TForm1& form, const ReportTotalRecord* r) {
  if (r) Put(form, ReportTotalUploadLine(*r), "AddReportTime");
}

void AddReportGroup(TForm1& form, const ReportTotalRecord* r) {
  if (r) Put(form, ReportTotalUploadLine(*r), "AddReportGroup");
}

void AddReportDept(TForm1& form, const ReportTotalRecord* r) {
  if (r) Put(form, ReportTotalUploadLine(*r), "AddReportDept");
}
