// The line writers: each received record becomes one line of the upload file,
// in its kind's format, and the same line in the activity log.
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/tform1.h"
#include "link/upload_file.h"
#include "transfer/upload.h"

namespace {

constexpr const char* kLineEnd = "\r\n";

[[gnu::format(printf, 1, 2)]] std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int length = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  std::string line(static_cast<std::size_t>(length < 0 ? 0 : length), '\0');
  std::vsnprintf(line.data(), line.size() + 1, format, again);
  va_end(again);
  return line;
}

// A text field as the file gets it: up to its first zero byte, and never past
// the field, whatever the terminal sent. A control character (a CR or LF, a
// TAB, any byte below 32, and DEL) is written as a blank, so that one record
// stays one line, and the line stays one row in a spreadsheet and a text the
// download files accept.
template <std::size_t N>
std::string Text(const char (&field)[N]) {
  std::string text(field, strnlen(field, N));
  for (char& c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) c = ' ';
  }
  return text;
}

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

std::string ReportTotalLine(const ReportTotalRecord& r) {
  return Format("%d-%02d-%02d %02d:%02d:%02d, %d, %d, %d, %d,%d%s", 2000 + r.Year, r.Month, r.Day,
                r.Hour, r.Minute, r.Second, r.Value1, r.Value4, r.Value2, r.Value5, r.Value3,
                kLineEnd);
}

}  // namespace

void AddPlu(TForm1& form, const PluRecord* r) {
  if (!r) return;
  const std::string line =
      Format("%d, %d, %d, %s, %d, %d, %d, %d, %d", r->Field1, r->PluNo, r->Field3,
             Text(r->Text).c_str(), r->Field5, r->Field6, r->Field7, r->Field8, r->Field9) +
      kLineEnd;
  Put(form, line, "AddPlu");
}

void AddBarcode(TForm1& form, const BarcodeRecord* r) {
  if (!r) return;
  Put(form,
      Format("%d, %d, %d, %s, %s%s", r->Number, r->Field2, r->Field3, Text(r->Text1).c_str(),
             Text(r->Text2).c_str(), kLineEnd),
      "AddBarcode");
}

void AddScrollMsg(TForm1& form, const ScrollMsgRecord* r) {
  if (!r) return;
  Put(form, Format("%d, %s, %d %s", r->Number, Text(r->Text2).c_str(), r->Field3, kLineEnd),
      "AddScrollMsg");
}

void AddIngredient(TForm1& form, const IngredientRecord* r) {
  if (!r) return;
  Put(form, Format("%d,%s%s", r->Number, Text(r->Text).c_str(), kLineEnd), "AddIngredient");
}

void AddReportPLU(TForm1& form, const ReportPluRecord* r) {
  if (!r) return;
  Put(form,
      Format("%d-%02d-%02d %02d:%02d:%02d, %d, %d, %d, %d,%d,%d,%d,%d,%d,%d,%d,%d%s",
             2000 + r->Year, r->Month, r->Day, r->Hour, r->Minute, r->Second, r->Value0, r->Value1,
             r->Value2, r->Value3, r->Value8, r->Value9, r->Value10, r->Value4, r->Value5,
             r->Value6, r->Value7, r->Value11, kLineEnd),
      "AddReportPLU");
}

void AddReportTime(TForm1& form, const ReportTotalRecord* r) {
  if (r) Put(form, ReportTotalLine(*r), "AddReportTime");
}

void AddReportGroup(TForm1& form, const ReportTotalRecord* r) {
  if (r) Put(form, ReportTotalLine(*r), "AddReportGroup");
}

void AddReportDept(TForm1& form, const ReportTotalRecord* r) {
  if (r) Put(form, ReportTotalLine(*r), "AddReportDept");
}
