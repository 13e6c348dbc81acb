// A simulated terminal's memory: its records of each writable kind, up to a
// capacity per kind, kept in store files when the terminal has a folder.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "termlink/record_table.h"
#include "termsim/store_file.h"

class TerminalMemory {
 public:
  enum class PutResult { kStored, kFull, kNotSaved };
  enum class DeleteResult { kDeleted, kNotSaved };

  // `folder` empty: memory only. Otherwise the folder is created if needed
  // and its store files loaded; throws std::runtime_error on a bad file.
  TerminalMemory(const std::string& folder, uint32_t capacity);
  ~TerminalMemory();

  // Stores `record` under its key, replacing a record with the same key.
  PutResult Put(const termlink::RecordKind& kind, std::span<const uint8_t> record);
  // Deletes the record of `number` (the speedkey record whatever the
  // number); one not held is deleted already. The deletion is in the store
  // file before it is kept in memory.
  DeleteResult Delete(const termlink::RecordKind& kind, int64_t number);
  const RecordMap& Records(const termlink::RecordKind& kind) const;
  // Rewrites the store files compactly; memory only: nothing to do.
  void Save();

 private:
  struct Shelf {
    RecordMap records;
    std::unique_ptr<StoreFile> file;
  };
  Shelf& ShelfOf(const termlink::RecordKind& kind);

  uint32_t capacity_;
  std::map<uint8_t, Shelf> shelves_;  // by data type code
};
