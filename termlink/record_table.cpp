#include "termlink/record_table.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "records/records.h"

namespace termlink {
namespace {

template <class Record>
constexpr RecordKind Kind(uint8_t code, const char* name, bool readable, bool writable,
                          size_t statusOffset, size_t statusSize) {
  return {code,
          name,
          static_cast<uint16_t>(sizeof(Record)),
          readable,
          writable,
          false,
          0,
          static_cast<uint16_t>(statusOffset),
          static_cast<uint16_t>(statusSize)};
}

constexpr RecordKind PluKind() {
  RecordKind kind = Kind<PluRecord>(kCodePlu, "plu", true, true, offsetof(PluRecord, Text),
                                    sizeof(PluRecord::Text));
  kind.wideNumber = true;
  kind.numberOffset = offsetof(PluRecord, PluNo);
  return kind;
}

constexpr std::array<RecordKind, 9> kKinds = {
    PluKind(),
    Kind<BarcodeRecord>(kCodeBarcode, "barcode", true, true, offsetof(BarcodeRecord, Text2),
                        sizeof(BarcodeRecord::Text2)),
    Kind<IngredientRecord>(kCodeIngredient, "ingredient", true, true,
                           offsetof(IngredientRecord, Text), sizeof(IngredientRecord::Text)),
    Kind<ScrollMsgRecord>(kCodeScrollMsg, "scrollmsg", true, true, offsetof(ScrollMsgRecord, Text1),
                          sizeof(ScrollMsgRecord::Text1)),
    Kind<SpeedkeyRecord>(kCodeSpeedkey, "speedkey", true, true, offsetof(SpeedkeyRecord, Text),
                         sizeof(SpeedkeyRecord::Text)),
    Kind<ReportPluRecord>(kCodeReportPlu, "reportplu", true, false, offsetof(ReportPluRecord, Text),
                          sizeof(ReportPluRecord::Text)),
    Kind<ReportTotalRecord>(kCodeReportTime, "reporttime", true, false,
                            offsetof(ReportTotalRecord, Text), sizeof(ReportTotalRecord::Text)),
    Kind<ReportTotalRecord>(kCodeReportGroup, "reportgroup", true, false,
                            offsetof(ReportTotalRecord, Text), sizeof(ReportTotalRecord::Text)),
    Kind<ReportTotalRecord>(kCodeReportDept, "reportdept", true, false,
                            offsetof(ReportTotalRecord, Text), sizeof(ReportTotalRecord::Text)),
};

static_assert(sizeof(PluRecord) == kMaxRecordSize);

}  // namespace

const RecordKind* FindRecordKind(uint8_t code) {
  auto it = std::find_if(kKinds.begin(), kKinds.end(),
                         [code](const RecordKind& kind) { return kind.code == code; });
  return it == kKinds.end() ? nullptr : &*it;
}

const RecordKind* FindRecordKindByName(std::string_view name) {
  auto it = std::find_if(kKinds.begin(), kKinds.end(),
                         [name](const RecordKind& kind) { return kind.name == name; });
  return it == kKinds.end() ? nullptr : &*it;
}

std::string CheckRecordFields(uint8_t code, uint16_t direction, uint16_t length) {
  const RecordKind* kind = FindRecordKind(code);
  if (!kind) return "unknown data type code " + std::to_string(code);
  if (direction == kDirectionRead) {
    if (!kind->readable) return std::string("the ") + kind->name + " record cannot be read";
  } else if (direction == kDirectionWrite) {
    if (!kind->writable) return std::string("the ") + kind->name + " record cannot be written";
  } else {
    return "unknown direction " + std::to_string(direction);
  }
  if (length != kind->size) {
    return std::string("a ") + kind->name + " record is " + std::to_string(kind->size) +
           " bytes, not " + std::to_string(length);
  }
  return {};
}

int64_t RecordNumber(const RecordKind& kind, std::span<const uint8_t> record) {
  if (kind.wideNumber) {
    int32_t number;
    std::memcpy(&number, record.data() + kind.numberOffset, sizeof number);
    return number;
  }
  uint16_t number;
  std::memcpy(&number, record.data() + kind.numberOffset, sizeof number);
  return number;
}

void SetRecordNumber(const RecordKind& kind, std::span<uint8_t> record, int64_t number) {
  if (kind.wideNumber) {
    auto value = static_cast<int32_t>(number);
    std::memcpy(record.data() + kind.numberOffset, &value, sizeof value);
  } else {
    auto value = static_cast<uint16_t>(number);
    std::memcpy(record.data() + kind.numberOffset, &value, sizeof value);
  }
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
