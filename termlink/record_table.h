// The record set that interpreter 5010 knows, as the table of record kinds
// gives it: for every data type code the record size, the directions a
// request may take, and where a record carries its number and its status
// text. Shared by the link library and the terminal simulator so both sides
// judge a frame by the same table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "records/record_kinds.h"

namespace termlink {

// The interpreter that knows the record set.
inline constexpr int kRecordInterpreterId = 5010;

// The largest record of the set (the PLU record); no frame carries more.
inline constexpr uint16_t kMaxRecordSize = 1718;

// A kind of the set: `readable` allows direction 2, `writable` directions 3
// (write) and 4 (delete).
using RecordKind = ::RecordKind;

// The kind of `code`, or nullptr when the set has no such code.
const RecordKind* FindRecordKind(uint8_t code);

// The kind whose link name is `name` ("plu", "barcode", "reportplu"), or nullptr.
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
