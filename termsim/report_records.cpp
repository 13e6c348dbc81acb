#include "termsim/report_records.h"

#include <cstring>

#include "records/records.h"

namespace {

// The business day of every report: 8 December 2026, closed at 21:30.
constexpr uint8_t kYear = 26, kMonth = 12, kDay = 8;
constexpr uint8_t kOpenHour = 7, kCloseHour = 21;

// A fixed pseudo-random figure for (a, b): the same on every run.
uint32_t Figure(uint32_t a, uint32_t b) {
  uint32_t x = a * 2654435761u ^ (b + 0x9e3779b9u + (a << 6) + (a >> 2));
  x ^= x >> 15;
  x *= 2246822519u;
  x ^= x >> 13;
  return x;
}

template <class Record>
void Stamp(Record& record, uint8_t hour, uint8_t minute, uint8_t second) {
  record.Year = kYear;
  record.Month = kMonth;
  record.Day = kDay;
  record.Hour = hour;
  record.Minute = minute;
  record.Second = second;
}

template <class Record>
std::vector<uint8_t> Bytes(const Record& record) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(&record);
  return {bytes, bytes + sizeof record};
}

}  // namespace

std::optional<ReportRange> TotalReportRange(uint8_t code) {
  switch (code) {
    case kCodeReportTime:
      return ReportRange{0, 23};
    case kCodeReportGroup:
      return ReportRange{0, 99};
    case kCodeReportDept:
      return ReportRange{1, 99};
    default:
      return std::nullopt;
  }
}

// Values: 1 sales count, 2 amount in cents, 3 weight in grams, 4 items,
// 5 voided sales.
std::vector<uint8_t> TotalReportRecord(uint8_t code, uint16_t number) {
  ReportTotalRecord record{};
  record.Number = number;
  bool open = true;
  if (code == kCodeReportTime) {
    Stamp(record, static_cast<uint8_t>(number), 59, 59);  // the end of that hour
    open = number >= kOpenHour && number < kCloseHour;
  } else {
    Stamp(record, kCloseHour, 30, 0);
  }
  if (open) {
    uint32_t sales = 5 + Figure(code, number) % 120;
    record.Value1 = static_cast<int32_t>(sales);
    record.Value2 = static_cast<int32_t>(sales * (250 + Figure(number, code) % 900));
    record.Value3 = static_cast<int32_t>(sales * (100 + Figure(code + 1u, number) % 600));
    record.Value4 = static_cast<int32_t>(sales + Figure(number, code + 1u) % (sales + 1));
    record.Value5 = static_cast<int32_t>(Figure(code + 2u, number) % 3);
  }
  return Bytes(record);
}

// Values: 0 department, 1 group, 2 PLU number, 3 sales count, 4 amount in
// cents, 5 weight in grams, 6 items, 7 voided sales, 8 to 11 the amount,
// weight, items and sales of the day before.
std::vector<uint8_t> PluReportRecord(uint16_t number, std::span<const uint8_t> plu) {
  int32_t pluNo;
  std::memcpy(&pluNo, plu.data() + offsetof(PluRecord, PluNo), sizeof pluNo);
  auto key = static_cast<uint32_t>(pluNo);
  ReportPluRecord record{};
  record.Number = number;
  Stamp(record, kCloseHour, 30, 0);
  record.Value0 = static_cast<uint16_t>(1 + key % 20);
  record.Value1 = static_cast<uint16_t>(key % 100);
  record.Value2 = pluNo;
  uint32_t sales = Figure(key, 1) % 60;
  record.Value3 = static_cast<uint16_t>(sales);
  record.Value4 = static_cast<int32_t>(sales * (99 + Figure(key, 2) % 2000));
  record.Value5 = static_cast<int32_t>(sales * (50 + Figure(key, 3) % 900));
  record.Value6 = static_cast<int32_t>(sales + Figure(key, 4) % (sales + 1));
  record.Value7 = static_cast<int32_t>(Figure(key, 5) % 2);
  uint32_t before = Figure(key, 6) % 60;
  record.Value8 = static_cast<int32_t>(before * (99 + Figure(key, 7) % 2000));
  record.Value9 = static_cast<int32_t>(before * (50 + Figure(key, 8) % 900));
  record.Value10 = static_cast<int32_t>(before + Figure(key, 9) % (before + 1));
  record.Value11 = static_cast<int32_t>(before);
  return Bytes(record);
}
