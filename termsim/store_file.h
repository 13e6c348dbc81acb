// The file that keeps one kind of a terminal's records across restarts. It
// is a journal: an 8-byte header naming the kind and record size, then
// entries in the order they happened, each a put (a whole record, replacing
// an earlier one with the same key) or a delete (the key that leaves). Each
// write or deletion appends one entry, so it is on disk before it is
// acknowledged; the file is rewritten compactly (temporary file, then rename)
// when it is opened, when it grows to more than twice its live records, and
// when the simulator stops. An entry cut short by a crash is ignored. Files
// of version 1 (whole records only, no entry tags) are still read.
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
// The key of the record numbered `number`.
int64_t NumberKey(const termlink::RecordKind& kind, int64_t number);

// Reads the records in `path`; an absent file holds none. Throws
// std::runtime_error when the file is not a store file of `kind`, or an
// entry in it is neither a put nor a delete.
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

  // Appends the put of `record`; false when it could not be written.
  bool AppendPut(std::span<const uint8_t> record);
  // Appends the deletion of the record of `key`; false when it could not be written.
  bool AppendDelete(int64_t key);
  // Rewrites the file when it holds more than twice as many entries as
  // `records` (what is live after the latest entry); a failure is only
  // logged, as every entry is safe in the journal already.
  void CompactIfDue(const RecordMap& records);
  // Replaces the file with exactly `records`. Throws std::runtime_error.
  void Rewrite(const RecordMap& records);

 private:
  bool Append(const std::vector<uint8_t>& entry);
  void OpenForAppend();

  std::string path_;
  const termlink::RecordKind& kind_;
  int fd_ = -1;
  uint64_t size_ = 0;   // bytes of the file, every whole entry
  size_t entries_ = 0;  // entries in the file, replaced and deleted ones included
};
