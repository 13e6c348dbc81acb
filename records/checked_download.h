// A download file read and checked as a whole: its records in file order,
// each with its record number and the line it came from. Once read it never
// changes: the sessions that send it and the verification that compares a
// terminal with it share it read-only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "records/record_kinds.h"

// The most records a download file holds.
inline constexpr int kDownloadCapacity = 3334;

struct DownloadRecord {
  int64_t number;                  // its record number; the speedkey record's is 1
  int line;                        // its line in the file, counted from 1
  std::span<const uint8_t> bytes;  // the whole record, every byte as it is sent
};

class CheckedDownload {
 public:
  // `bytes` holds the records one after another, `lines` the line of each.
  CheckedDownload(const RecordKind& kind, std::vector<uint8_t> bytes,
                  const std::vector<int>& lines);
  CheckedDownload(const CheckedDownload&) = delete;
  CheckedDownload& operator=(const CheckedDownload&) = delete;

  const RecordKind& Kind() const { return kind_; }
  std::span<const DownloadRecord> Records() const { return records_; }

 private:
  const RecordKind& kind_;
  std::vector<uint8_t> bytes_;
  std::vector<DownloadRecord> records_;  // into bytes_
};
