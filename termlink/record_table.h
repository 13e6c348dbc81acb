// The record set that interpreter 5010 knows: for every data type code the
// record size, the directions a request may take, and where a record carries
// its number and its status text. Shared by the link library and the
// terminal simulator so both sides judge a frame by the same table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace termlink {

// The interpreter that knows the record set.
inline constexpr int kRecordInterpreterId = 5010;

// The largest record of the set (the PLU record); no frame carries more.
inline constexpr uint16_t kMaxRecordSize = 1718;

struct RecordKind {
  uint8_t code;
  const char* name;  // short lower-case name, e.g. "plu"
  uint16_t size;
  bool readable;    // direction 2 allowed
  bool writable;    // direction 3 allowed
  bool wideNumber;  // record number is an i32 at numberOffset (PLU), else a u16
  uint16_t numberOffset;
  uint16_t statusOffset;  // text field that carries a status instead of data
  uint16_t statusSize;
};

// The kind of `code`, or nullptr when the set has no such code.
const RecordKind* FindRecordKind(uint8_t code);

// The kind named `name` ("plu", "barcode", ...), or nullptr.
const RecordKind* FindRecordKindByName(std::string_view name);

// Why a request or answer with these fields is not one of the set, or an
// empty text when it is: the code is known, the direction allowed for it and
// the length its record size.
std::string CheckRecordFields(uint8_t code, uint16_t direction, uint16_t length);

// Record number of `record` (which holds `kind.size` bytes); a u16 number is
// widened without sign.
int64_t RecordNumber(const RecordKind& kind, std::span<const uint8_t> record);
void SetRecordNumber(const RecordKind& kind, std::span<uint8_t> record, int64_t number);

// The record's status text, up to its first zero byte or the field's end.
std::string_view StatusText(const RecordKind& kind, std::span<const uint8_t> record);
// Writes `text` into the status field, cut to leave room for its zero byte;
// the rest of the field is zeroed.
void SetStatusText(const RecordKind& kind, std::span<uint8_t> record, std::string_view text);

}  // namespace termlink
