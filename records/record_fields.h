// The fields a download writes into each record kind, named as the download
// files' header lines name their columns, with where each lies in the record.
// A terminal keeps every other byte (unused bytes, texts a download never
// sets) as it likes, so only these fields say whether it holds a file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

enum class FieldType { Unsigned, Signed, Text };

struct RecordField {
  std::string name;  // "price", "key 5 of table 1", ...
  std::size_t offset;
  std::size_t size;
  FieldType type;
};

struct RecordFields {
  const char* label;  // the kind as a difference names it: "PLU", "Barcode", ...
  // The record number that keys the kind's records; the speedkey kind has
  // none: it holds one record, whatever its number.
  bool numbered;
  RecordField number;
  std::vector<RecordField> fields;  // in the download file's column order
};

// The fields of the kind of data type code `code`; nullptr for a kind no
// download writes.
const RecordFields* DownloadedFields(uint8_t code);

// A number field of `record`, little-endian; bytes past the record's end
// read as zero, so a short record never reads outside itself.
int64_t FieldNumber(const RecordField& field, std::span<const uint8_t> record);

// A text field of `record` up to its first zero byte, never past the field.
std::string FieldText(const RecordField& field, std::span<const uint8_t> record);
