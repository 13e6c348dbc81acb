// A field of a record, as a column of the table of record kinds places it,
// read from the record's bytes. A terminal keeps every other byte (unused
// bytes, texts a download never sets) as it likes, so only the columns' fields
// say whether it holds a file.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "records/record_kinds.h"

// A number field of `record`, little-endian; bytes past the record's end
// read as zero, so a short record never reads outside itself.
int64_t FieldNumber(const KindColumn& field, std::span<const uint8_t> record);

// A text field of `record` up to its first zero byte, never past the field.
std::string FieldText(const KindColumn& field, std::span<const uint8_t> record);
