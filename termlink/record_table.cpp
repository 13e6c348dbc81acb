#include "termlink/record_table.h"

#include <algorithm>
#include <cstring>

#include "records/records.h"

namespace termlink {

static_assert(sizeof(PluRecord) == kMaxRecordSize);

const RecordKind* FindRecordKind(uint8_t code) {
  return KindOfCode(code);
}

const RecordKind* FindRecordKindByName(std::string_view name) {
  return KindOfLinkName(name);
}

std::string CheckRecordFields(uint8_t code, uint16_t direction, uint16_t length) {
  const RecordKind* kind = FindRecordKind(code);
  if (!kind) return "unknown data type code " + std::to_string(code);
  if (direction == kDirectionRead) {
    if (!kind->readable) return std::string("the ") + kind->linkName + " record cannot be read";
  } else if (direction == kDirectionWrite) {
    if (!kind->writable) return std::string("the ") + kind->linkName + " record cannot be written";
  } else if (direction == kDirectionDelete) {
    // What a download writes can be deleted again; the reports cannot.
    if (!kind->writable) return std::string("the ") + kind->linkName + " record cannot be deleted";
  } else {
    return "unknown direction " + std::to_string(direction);
  }
  if (length != kind->size) {
    return std::string("a ") + kind->linkName + " record is " + std::to_string(kind->size) +
           " bytes, not " + std::to_string(length);
  }
  return {};
}

int64_t RecordNumber(const RecordKind& kind, std::span<const uint8_t> record) {
  return NumberOf(kind, record);
}

void SetRecordNumber(const RecordKind& kind, std::span<uint8_t> record, int64_t number) {
  SetNumberOf(kind, record, number);
}

std::string_view StatusText(const RecordKind& kind, std::span<const uint8_t> record) {
  const char* field = reinterpret_cast<const char*>(record.data() + kind.statusOffset);
  return {field, strnlen(field, kind.statusSize)};
}

void SetStatusText(const RecordKind& kind, std::span<uint8_t> record, std::string_view text) {
  uint8_t* field = record.data() + kind.statusOffset;
  std::memset(field, 0, kind.statusSize);
  std::memcpy(field, text.data(), std::min<size_t>(text.size(), kind.statusSize - 1u));
}

}  // namespace termlink
