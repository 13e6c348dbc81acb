// What one session sends: records of a checked download, in the order given,
// the download kept alive while they are sent. Every terminal of a send
// cycle is handed its own list; today each gets every record of the file,
// in file order.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "records/download_files.h"

struct PreparedDownload {
  std::shared_ptr<const CheckedDownload> file;  // null: nothing to send (the reports)
  // Of `file`, in the order they are sent; shared by the sessions it is
  // handed to, as the file is.
  std::shared_ptr<const std::vector<DownloadRecord>> records;
  // Record numbers of the kind to delete from the terminal once every record
  // is sent; null or empty: none.
  std::shared_ptr<const std::vector<int64_t>> deletes;

  bool Empty() const { return !file; }
  // The data type code of the records; 0 when there is nothing to send.
  uint8_t Code() const { return file ? file->Kind().code : 0; }
  uint32_t Total() const { return records ? static_cast<uint32_t>(records->size()) : 0; }
  // The records to send; none when there is nothing to send.
  const std::vector<DownloadRecord>& Records() const;
  const std::vector<int64_t>& Deletes() const;
};

// Every record of `file`, in file order; nothing to send for a null file.
PreparedDownload EveryRecord(std::shared_ptr<const CheckedDownload> file);

// Reads and checks the download file of data type `code` (a kind the table
// says is sent), its texts in the terminal's character set `codePage`.
// `read.error` holds the refusal of a file with any fault; what is prepared
// then is empty.
PreparedDownload PrepareDownload(uint8_t code, const std::string& path, const CodePage& codePage,
                                 DownloadFileRead& read);
