#include "records/record_fields.h"

#include <algorithm>
#include <cstring>

int64_t FieldNumber(const KindColumn& field, std::span<const uint8_t> record) {
  uint64_t value = 0;
  for (std::size_t i = 0; i < field.size; ++i) {
    const std::size_t at = field.offset + i;
    if (at < record.size()) value |= uint64_t{record[at]} << (8 * i);
  }
  const unsigned bits = static_cast<unsigned>(8 * field.size);
  if (field.type == FieldType::Signed && bits < 64 && (value >> (bits - 1)) & 1) {
    value |= ~uint64_t{0} << bits;  // sign-extended
  }
  return static_cast<int64_t>(value);
}

std::string FieldText(const KindColumn& field, std::span<const uint8_t> record) {
  if (field.offset >= record.size()) return {};
  const auto* text = reinterpret_cast<const char*>(record.data() + field.offset);
  return std::string(text, strnlen(text, std::min(field.size, record.size() - field.offset)));
}
