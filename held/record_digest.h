// What counts of a record a terminal holds: every column a download writes,
// numbers as their field's bytes, texts up to their first zero byte, all in
// the terminal's character set. Two records with the same fields hold the
// same item whatever their unused bytes, and a verification finds them the
// same; their digests are equal.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "records/record_kinds.h"

// The fields of `record` (of `kind`'s size) in column order, each a text's
// bytes up to its zero with their length before them, or a number's field
// bytes as they stand: compact, and the same for every record a verification
// finds the same.
std::vector<uint8_t> FieldsOf(const RecordKind& kind, std::span<const uint8_t> record);

// The record `fields` (as FieldsOf made them) stand for, as a download file
// would make it: every other byte zero, but the speedkey record's number 1.
// Empty when `fields` are not fields of `kind`.
std::vector<uint8_t> RecordOfFields(const RecordKind& kind, std::span<const uint8_t> fields);

// The 64-bit FNV-1a digest of `fields`.
uint64_t DigestOf(std::span<const uint8_t> fields);
