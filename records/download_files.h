// The download files: tab-separated text, one record per line, each line's
// columns those the table of record kinds gives for its kind. A file is read
// and checked as a whole into a CheckedDownload. A file with any fault, or
// with no record, is refused as a whole: no records, and the refusal ("Error
// in input file !", "I/O Error !", ...) with its line and column for the
// caller to show. Texts are stored in the terminal's character set
// `codePage`: see DownloadText for which files are converted.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "records/checked_download.h"
#include "records/download_file_error.h"
#include "records/record_kinds.h"
#include "text/code_page.h"

struct DownloadFileRead {
  int records = 0;                                  // records read; 0 when the file was refused
  std::shared_ptr<const CheckedDownload> download;  // null when the file was refused
  std::optional<DownloadFileError> error;
};

// Reads the download file `path` of `kind`, one the table says is sent.
DownloadFileRead ReadDownloadFile(const RecordKind& kind, const std::string& path,
                                  const CodePage& codePage);
