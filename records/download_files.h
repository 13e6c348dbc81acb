// The download files: tab-separated text, one record per line, parsed into
// the record tables. Each reader reads and checks the whole file and returns
// the number of records it stored. A file with any fault, or with no record,
// is refused as a whole: the reader returns no records and the refusal ("Error
// in input file !", "I/O Error !", ...) with its line and column for the
// caller to show; what the tables hold after a refusal is never to be sent.
// Texts are stored in the terminal's character set `codePage`: see
// DownloadText for which files are converted.
#pragma once

#include <optional>
#include <string>

#include "records/download_file_error.h"
#include "text/code_page.h"

struct DownloadFileRead {
  int records = 0;  // records stored; 0 when the file was refused
  std::optional<DownloadFileError> error;
};

DownloadFileRead ReadPluFile(const std::string& path, const CodePage& codePage);
DownloadFileRead ReadBarcodeFile(const std::string& path, const CodePage& codePage);
DownloadFileRead ReadIngredientFile(const std::string& path, const CodePage& codePage);
DownloadFileRead ReadScrollMsgFile(const std::string& path, const CodePage& codePage);
DownloadFileRead ReadSpeedkeyFile(const std::string& path, const CodePage& codePage);
