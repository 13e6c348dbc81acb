// "Read Data": lists the download file in the activity log without storing
// anything in the record tables.
#include "app/tform1.h"
#include "transfer/download_line.h"
#include "transfer/line_reader.h"
#include "transfer/records.h"

namespace {

// One listed line: its running number, ". ", and columns 1 to 5 taken with
// the PLU types, separated by ", ".
std::string ListingLine(int listed, const LineColumns& in) {
  // Columns are taken in order, so the first failing one is the one reported.
  const uint16_t field1 = in.U16(1);
  const int32_t pluNo = in.Number(2);
  const uint8_t field3 = in.U8(3);
  std::string_view text = in.Text(4, sizeof(PluRecord::Text));
  const int32_t field5 = in.Number(5);
  text = text.substr(0, text.find('\0'));  // the record's text ends at its first zero
  return std::to_string(listed) + ". " + std::to_string(field1) + ", " + std::to_string(pluNo) +
         ", " + std::to_string(field3) + ", " + std::string(text) + ", " + std::to_string(field5);
}

void ListLines(TForm1& form, LineReader& reader) {
  int listed = 0;
  try {
    std::string line;
    for (int lineNumber = 1; reader.ReadLine(line); ++lineNumber) {
      if (IsSkippedLine(line)) continue;
      form.AddLog(ListingLine(++listed, LineColumns(line, lineNumber)));
    }
    if (reader.Failed()) throw DownloadFileError(kIoError);
  } catch (const DownloadFileError& error) {
    form.View.ShowError(error.what());
  }
}

}  // namespace

// Lists the file that a download would parse, so that after a pick in the
// file-open dialog the picked file is listed.
void TForm1::Action6Execute() {
  LineReader reader(DownloadFilePath());
  if (reader.IsOpen()) {
    AddLog("");
    ListLines(*this, reader);
  } else {
    View.ShowError(kIoError);
  }
  AddLog("");
  AddLog("* End *");
}
