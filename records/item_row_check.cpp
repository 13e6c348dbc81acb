#include "records/item_row_check.h"

#include "records/download_line.h"
#include "text/utf8.h"

std::vector<std::string> CheckRecordLine(const RecordKind& kind, std::string_view line,
                                         int lineNumber, const CodePage& codePage, bool utf8) {
  DownloadText texts("", codePage);
  texts.TakeAsUtf8(utf8);
  const LineColumns in(line, lineNumber, texts);
  std::vector<std::string> faults(kind.columns.size());
  for (std::size_t i = 0; i < kind.columns.size(); ++i) {
    const KindColumn& field = kind.columns[i];
    const int column = static_cast<int>(i) + 1;
    try {
      if (field.type == FieldType::Text) {
        in.Text(column, field.size);
      } else {
        in.Value(column, field);
      }
    } catch (const DownloadFileError& error) {
      faults[i] = error.what();
      if (!error.Reason().empty()) faults[i] += " (" + error.Reason() + ")";
    }
  }
  return faults;
}

bool TextsAreUtf8(const DownloadFileLines& file) {
  if (!file.byteOrderMark.empty()) return true;
  for (const FileLine& line : file.lines) {
    if (!IsAscii(line.text) && !IsValidUtf8(line.text)) return false;
  }
  return true;
}
