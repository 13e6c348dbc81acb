// A shop system's export taken line by line into the lines of a download
// file, as an import profile says: its rows split, their fields turned into
// UTF-8 from the export's character set, the kind's fields filled from the
// mapped columns and constants, the money fields turned into whole cents,
// the texts turned into the terminals' character set, and each line checked
// with the very checks a send makes of a download file's line. A line that
// cannot be taken is refused with its line in the export and the reason.
#pragma once

#include <string>
#include <vector>

#include "import/import_profile.h"
#include "text/code_page.h"

// One line taken: its values as the download file shows them (UTF-8, for a
// preview) and the line as it is written (the terminals' set, no line end).
struct ImportedLine {
  int line = 0;  // in the export
  std::vector<std::string> values;
  std::string bytes;
};

struct RefusedLine {
  int line = 0;  // in the export, where its row begins
  std::string reason;
  std::string text;  // the row as the export holds it, in UTF-8 where it turns
};

struct ShopImport {
  std::vector<ImportedLine> lines;
  std::vector<RefusedLine> refused;
  // Why nothing at all can be taken (no delimiter found, a header name the
  // export lacks); empty when the lines were judged one by one.
  std::string error;
};

ShopImport ImportShopExport(const ImportProfile& profile, const std::string& exportBytes,
                            const CodePage& terminalSet);
