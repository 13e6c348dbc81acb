// "&Read File": lists the download file in the activity log without storing
// anything in the record tables. Texts are listed in UTF-8, after the check
// that a download makes of them in the terminal's character set.
#include "model/program.h"
#include "records/download_line.h"
#include "records/line_reader.h"
#include "records/record_kinds.h"

namespace {

// One listed line: its running number, ". ", and the first five columns of
// the PLU kind, separated by ", ". The columns are checked as a download
// checks them, so the listing stops where a download would refuse the file.
std::string ListingLine(int listed, const LineColumns& in, const CodePage& codePage) {
  const std::vector<KindColumn>& columns = KindOfCode(kCodePlu)->columns;
  std::string line = std::to_string(listed) + ".";
  // Columns are taken in order, so the first failing one is the one reported.
  for (int column = 1; column <= 5; ++column) {
    const KindColumn& field = columns[static_cast<std::size_t>(column - 1)];
    line += column == 1 ? " " : ", ";
    line += field.type == FieldType::Text ? codePage.ToUtf8(in.Text(column, field.size))
                                          : std::to_string(in.Value(column, field));
  }
  return line;
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
