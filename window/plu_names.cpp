#include "window/plu_names.h"

#include <algorithm>

#include "records/download_files.h"
#include "records/record_fields.h"
#include "records/record_kinds.h"

namespace {

const KindColumn& NameColumn(const RecordKind& kind) {
  return *std::find_if(kind.columns.begin(), kind.columns.end(),
                       [](const KindColumn& column) { return column.name == "name"; });
}

}  // namespace

PluNames ReadPluNames(const std::string& path, const CodePage& codePage) {
  const RecordKind& kind = *KindOfCode(kCodePlu);
  const DownloadFileRead read = ReadDownloadFile(kind, path, codePage);
  PluNames names;
  if (!read.download) return names;
  const KindColumn& name = NameColumn(kind);
  for (const DownloadRecord& record : read.download->Records()) {
    names[record.number] = codePage.ToUtf8(FieldText(name, record.bytes));
  }
  return names;
}
