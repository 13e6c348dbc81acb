#include "held/record_digest.h"

#include <cstring>

#include "records/record_fields.h"

namespace {

// A text's length goes before its bytes in two bytes, little-endian: the
// longest text field (an ingredient's) is 1025 bytes.
constexpr std::size_t kLengthBytes = 2;

void PutNumber(std::vector<uint8_t>& fields, const KindColumn& column,
               std::span<const uint8_t> record) {
  const auto value = static_cast<uint64_t>(FieldNumber(column, record));
  for (std::size_t i = 0; i < column.size; ++i) fields.push_back(uint8_t(value >> (8 * i)));
}

void PutText(std::vector<uint8_t>& fields, const KindColumn& column,
             std::span<const uint8_t> record) {
  const std::string text = FieldText(column, record);
  fields.push_back(uint8_t(text.size()));
  fields.push_back(uint8_t(text.size() >> 8));
  fields.insert(fields.end(), text.begin(), text.end());
}

// Reads one column's field from `fields` at `at` into `record`; false when
// `fields` do not hold one there.
bool TakeField(const KindColumn& column, std::span<const uint8_t> fields, std::size_t& at,
               std::span<uint8_t> record) {
  std::size_t length = column.size;
  if (column.type == FieldType::Text) {
    if (fields.size() - at < kLengthBytes) return false;
    length = fields[at] | std::size_t{fields[at + 1]} << 8;
    at += kLengthBytes;
    if (length > column.size) return false;
  }
  if (fields.size() - at < length || column.offset + column.size > record.size()) return false;
  const std::span<const uint8_t> bytes = fields.subspan(at, length);
  // A text ends at its first zero: one inside it is not a text FieldsOf made.
  if (column.type == FieldType::Text && std::memchr(bytes.data(), 0, bytes.size())) return false;
  std::memcpy(record.data() + column.offset, bytes.data(), length);
  at += length;
  return true;
}

}  // namespace

std::vector<uint8_t> FieldsOf(const RecordKind& kind, std::span<const uint8_t> record) {
  std::vector<uint8_t> fields;
  for (const KindColumn& column : kind.columns) {
    if (column.type == FieldType::Text) {
      PutText(fields, column, record);
    } else {
      PutNumber(fields, column, record);
    }
  }
  return fields;
}

std::vector<uint8_t> RecordOfFields(const RecordKind& kind, std::span<const uint8_t> fields) {
  std::vector<uint8_t> record(kind.size, 0);
  std::size_t at = 0;
  for (const KindColumn& column : kind.columns) {
    if (!TakeField(column, fields, at, record)) return {};
  }
  if (at != fields.size()) return {};
  // An unnumbered kind's one record is numbered 1, as a download file makes it.
  if (!kind.numbered) SetNumberOf(kind, record, 1);
  return record;
}

uint64_t DigestOf(std::span<const uint8_t> fields) {
  uint64_t digest = 0xcbf29ce484222325;  // the FNV-1a offset basis
  for (const uint8_t byte : fields) {
    digest ^= byte;
    digest *= 0x100000001b3;  // the FNV prime
  }
  return digest;
}
