#include "records/record_fields.h"

#include <algorithm>
#include <cstring>

#include "records/records.h"

namespace {

// One field by its member: where it lies and how wide it is.
#define ORLENT_FIELD(Record, member, name, type)                            \
  RecordField {                                                             \
    name, offsetof(Record, member), sizeof(Record::member), FieldType::type \
  }

RecordFields PluFields() {
  return {"PLU",
          true,
          ORLENT_FIELD(PluRecord, PluNo, "PLU no", Signed),
          {ORLENT_FIELD(PluRecord, Field1, "dept", Unsigned),
           ORLENT_FIELD(PluRecord, Field3, "unit", Unsigned),
           ORLENT_FIELD(PluRecord, Text, "name", Text),
           ORLENT_FIELD(PluRecord, Field5, "price", Signed),
           ORLENT_FIELD(PluRecord, Field6, "item code", Signed),
           ORLENT_FIELD(PluRecord, Field7, "shelf days", Unsigned),
           ORLENT_FIELD(PluRecord, Field8, "tare", Signed),
           ORLENT_FIELD(PluRecord, Field9, "group", Unsigned)}};
}

RecordFields BarcodeFields() {
  return {"Barcode",
          true,
          ORLENT_FIELD(BarcodeRecord, Number, "number", Unsigned),
          {ORLENT_FIELD(BarcodeRecord, Field2, "format", Unsigned),
           ORLENT_FIELD(BarcodeRecord, Field3, "flag", Unsigned),
           ORLENT_FIELD(BarcodeRecord, Text1, "name", Text),
           ORLENT_FIELD(BarcodeRecord, Text2, "barcode text", Text)}};
}

RecordFields IngredientFields() {
  return {"Ingredient",
          true,
          ORLENT_FIELD(IngredientRecord, Number, "number", Unsigned),
          {ORLENT_FIELD(IngredientRecord, Text, "text", Text)}};
}

// The message goes to Text2; Text1 carries the terminal's status.
RecordFields ScrollMsgFields() {
  return {"Scroll message",
          true,
          ORLENT_FIELD(ScrollMsgRecord, Number, "number", Unsigned),
          {ORLENT_FIELD(ScrollMsgRecord, Text2, "message", Text),
           ORLENT_FIELD(ScrollMsgRecord, Field3, "speed", Unsigned)}};
}

// The speedkey file fills the first keys of each table; the rest of each
// table and the text are never written.
RecordFields SpeedkeyFields() {
  RecordFields kind{
      "Speedkey", false, ORLENT_FIELD(SpeedkeyRecord, Number, "number", Unsigned), {}};
  const std::size_t tables[] = {offsetof(SpeedkeyRecord, KeyTable1),
                                offsetof(SpeedkeyRecord, KeyTable2)};
  for (std::size_t table = 0; table < 2; ++table) {
    for (int key = 0; key < kSpeedkeyFileKeys; ++key) {
      kind.fields.push_back(
          {"key " + std::to_string(key + 1) + " of table " + std::to_string(table + 1),
           tables[table] + sizeof(int32_t) * static_cast<std::size_t>(key), sizeof(int32_t),
           FieldType::Signed});
    }
  }
  return kind;
}

#undef ORLENT_FIELD

}  // namespace

const RecordFields* DownloadedFields(uint8_t code) {
  static const RecordFields plu = PluFields();
  static const RecordFields barcode = BarcodeFields();
  static const RecordFields ingredient = IngredientFields();
  static const RecordFields scrollMsg = ScrollMsgFields();
  static const RecordFields speedkey = SpeedkeyFields();
  switch (code) {
    case kCodePlu:
      return &plu;
    case kCodeBarcode:
      return &barcode;
    case kCodeIngredient:
      return &ingredient;
    case kCodeScrollMsg:
      return &scrollMsg;
    case kCodeSpeedkey:
      return &speedkey;
    default:
      return nullptr;
  }
}

int64_t FieldNumber(const RecordField& field, std::span<const uint8_t> record) {
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

std::string FieldText(const RecordField& field, std::span<const uint8_t> record) {
  if (field.offset >= record.size()) return {};
  const auto* text = reinterpret_cast<const char*>(record.data() + field.offset);
  return std::string(text, strnlen(text, std::min(field.size, record.size() - field.offset)));
}
