// The file that keeps one kind of a terminal's records across restarts. It
// is a journal: an 8-byte header naming the kind and record size, then whole
// records in the order they were written, a later record replacing an
// earlier one with the same key. Each write appends one record, so a record
// is on disk before it is acknowledged; the file is rewritten compactly
// (temporary file, then rename) when it is opened, when it grows to more
// than twice its live records, and when the simulator stops. A record cut
// short by a crash is ignored.
#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "termlink/record_table.h"

// A terminal's records of one kind, by key (record number; the speedkey
// record has the single key 1).
using RecordMap = std::map<int64_t, std::vector<uint8_t>>;

int64_t RecordKey(const termlink::RecordKind& kind, std::span<const uint8_t> record);

// Reads the records in `path`; an absent file holds none. Throws
// std::runtime_error when the file is not a store file of `kind`.
RecordMap ReadStoreFile(const std::string& path, const termlink::RecordKind& kind);

class StoreFile {
 public:
  // Opens the file of `kind` in `folder`, creating it, and loads its records.
  StoreFile(const std::string& folder, const termlink::RecordKind& kind, RecordMap& records);
  ~StoreFile();
  StoreFile(const StoreFile&) = delete;
  StoreFile& operator=(const StoreFile&) = delete;

  // File name of `kind` inside a terminal's folder, e.g. "plu.dat".
  static std::string FileName(const termlink::RecordKind& kind);

  // Appends one record; false when it could not be written.
  bool Append(std::span<const uint8_t> record, const RecordMap& records);
  // Replaces the file with exactly `records`. Throws std::runtime_error.
  void Rewrite(const RecordMap& records);

 private:
  void OpenForAppend();

  std::string path_;
  const termlink::RecordKind& kind_;
  int fd_ = -1;
  size_t written_ = 0;  // records in the file, replaced ones included
};
