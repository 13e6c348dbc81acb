#include "termsim/terminal_memory.h"

#include <filesystem>

#include "records/records.h"

namespace {

constexpr uint8_t kWritableCodes[] = {kCodePlu, kCodeBarcode, kCodeIngredient, kCodeScrollMsg,
                                      kCodeSpeedkey};

}  // namespace

TerminalMemory::TerminalMemory(const std::string& folder, uint32_t capacity) : capacity_(capacity) {
  if (!folder.empty()) std::filesystem::create_directories(folder);
  for (uint8_t code : kWritableCodes) {
    const termlink::RecordKind& kind = *termlink::FindRecordKind(code);
    Shelf& shelf = shelves_[code];
    if (!folder.empty()) shelf.file = std::make_unique<StoreFile>(folder, kind, shelf.records);
  }
}

TerminalMemory::~TerminalMemory() = default;

TerminalMemory::Shelf& TerminalMemory::ShelfOf(const termlink::RecordKind& kind) {
  return shelves_.at(kind.code);
}

TerminalMemory::PutResult TerminalMemory::Put(const termlink::RecordKind& kind,
                                              std::span<const uint8_t> record) {
  Shelf& shelf = ShelfOf(kind);
  int64_t key = RecordKey(kind, record);
  if (!shelf.records.contains(key) && shelf.records.size() >= capacity_) return PutResult::kFull;
  // Not on disk, so not stored: the terminal must not acknowledge it.
  if (shelf.file && !shelf.file->AppendPut(record)) return PutResult::kNotSaved;
  shelf.records[key].assign(record.begin(), record.end());
  if (shelf.file) shelf.file->CompactIfDue(shelf.records);
  return PutResult::kStored;
}

TerminalMemory::DeleteResult TerminalMemory::Delete(const termlink::RecordKind& kind,
                                                    int64_t number) {
  Shelf& shelf = ShelfOf(kind);
  const int64_t key = NumberKey(kind, number);
  if (!shelf.records.contains(key)) return DeleteResult::kDeleted;
  // A deletion the file does not keep would bring the record back at the
  // next start: the terminal must not acknowledge it.
  if (shelf.file && !shelf.file->AppendDelete(key)) return DeleteResult::kNotSaved;
  shelf.records.erase(key);
  if (shelf.file) shelf.file->CompactIfDue(shelf.records);
  return DeleteResult::kDeleted;
}

const RecordMap& TerminalMemory::Records(const termlink::RecordKind& kind) const {
  return shelves_.at(kind.code).records;
}

void TerminalMemory::Save() {
  for (auto& [code, shelf] : shelves_) {
    if (shelf.file) shelf.file->Rewrite(shelf.records);
  }
}
