#include "records/difference_text.h"

#include "records/record_fields.h"

std::string RecordName(const RecordKind& kind, int64_t number) {
  return kind.numbered ? std::string(kind.label) + " " + std::to_string(number) : kind.label;
}

std::string FieldValue(const KindColumn& field, std::span<const uint8_t> record) {
  return field.type == FieldType::Text ? FieldText(field, record)
                                       : std::to_string(FieldNumber(field, record));
}

std::string ShownValue(const KindColumn& field, const std::string& value,
                       const DisplayText& display) {
  if (field.type != FieldType::Text) return value;
  return "\"" + (display ? display(value) : value) + "\"";
}
