// A download file read and checked as a whole, once, into the record tables,
// ready to be sent to any number of terminals: every terminal of a send cycle
// gets these same records.
#pragma once

#include <cstdint>
#include <string>

#include "records/download_files.h"

struct PreparedDownload {
  uint8_t code = 0;  // the data type code of its records; 0: nothing to send (the reports)
  uint32_t total = 0;
  bool Empty() const { return code == 0; }
};

// Reads and checks the download file of data type `code` (PLU, barcode,
// ingredient, scroll message or speedkey), its texts in the terminal's
// character set `codePage`. `read.error` holds the refusal of a file with any
// fault; what is prepared then is empty.
PreparedDownload PrepareDownload(uint8_t code, const std::string& path, const CodePage& codePage,
                                 DownloadFileRead& read);
