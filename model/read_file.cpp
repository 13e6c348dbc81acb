// "&Read File": lists the download file in the activity log without storing
// anything in the record tables. Texts are listed in UTF-8, after the check
// that a download makes of them in the terminal's character set.
#include "model/program.h"
#include "records/download_line.h"
#include "records/line_reader.h"
#include "records/records.h"

namespace {

// One listed line: its running number, ". ", and columns 1 to 5 taken with
// the PLU types, separated by ", ". The columns are checked as a download
// checks them, so the listing stops where a download would refuse the file.
std::string ListingLine(int listed, const LineColumns& in, const CodePage& codePage) {
  // Columns are taken in order, so the first failing one is the one reported.
  const uint16_t field1 = in.U16(1);
  const int32_t pluNo = in.PluNumber(2);
  const uint8_t field3 = in.U8(3);
  const std::string text = codePage.ToUtf8(in.Text(4, sizeof(PluRecord::Text)));
  const int32_t field5 = in.Number(5);
  return std::to_string(listed) + ". " + std::to_string(field1) + ", " + std::to_string(pluNo) +
         ", " + std::to_string(field3) + ", " + text + ", " + std::to_string(field5);
}

void ListLines(Program& program, LineReader& reader, DownloadText& texts) {
  int listed = 0;
  std::string line;
  while (reader.ReadLine(line)) {
    if (IsSkippedLine(line)) continue;
    program.AddLog(
        ListingLine(++listed, LineColumns(line, reader.LineNumber(), texts), texts.Page()));
  }
}

}  // namespace

// Lists the file that a download would parse, so that after a pick in the
// file-open dialog the picked file is listed. A fault is shown with its place.
void Program::ReadFile(const ReadFileOrder& order) {
  const std::string& path = order.file;
  LineReader reader(path);
  try {
    reader.RequireOpen();
    AddLog("");
    DownloadText texts(path, order.codePage ? *order.codePage : codePageInForce_);
    ListLines(*this, reader, texts);
  } catch (const DownloadFileError& error) {
    view_.ShowError(error.Describe(path));
  }
  AddLog("");
  AddLog("* End *");
}
