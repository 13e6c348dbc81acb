#include "termsim/terminal.h"

#include <iterator>

#include "records/records.h"
#include "termsim/report_records.h"

std::vector<uint8_t> StatusRecord(const termlink::RecordKind& kind, const char* status) {
  std::vector<uint8_t> record(kind.size, 0);
  termlink::SetStatusText(kind, record, status);
  return record;
}

void MarkLastRecord(const termlink::RecordKind& kind, std::vector<uint8_t>& record,
                    uint32_t marker) {
  if (marker == 95) {
    termlink::SetRecordNumber(kind, record, 0);
    termlink::SetStatusText(kind, record, kStatusLast);
  } else {
    termlink::SetRecordNumber(kind, record, marker);
  }
}

Terminal::Terminal(std::string address, TerminalMemory& memory)
    : address_(std::move(address)), memory_(memory) {}

TerminalAnswer Terminal::Answer(const termlink::RecordKind& kind, uint16_t direction,
                                std::span<const uint8_t> record) {
  if (direction == kDirectionWrite) return Write(kind, record);
  int64_t number = termlink::RecordNumber(kind, record);
  if (direction == kDirectionDelete) return Delete(kind, number);
  if (kind.writable) return ReadRecord(kind, number);
  return ReadReport(kind, number);
}

TerminalAnswer Terminal::Write(const termlink::RecordKind& kind, std::span<const uint8_t> record) {
  switch (memory_.Put(kind, record)) {
    case TerminalMemory::PutResult::kStored:
      return {std::vector<uint8_t>(record.begin(), record.end())};
    case TerminalMemory::PutResult::kFull:
      return {StatusRecord(kind, kStatusFull)};
    case TerminalMemory::PutResult::kNotSaved:
      break;
  }
  return {StatusRecord(kind, kStatusNotSaved)};
}

// The answer carries the number deleted, also when no such record was held:
// afterwards the terminal does not hold it either way.
TerminalAnswer Terminal::Delete(const termlink::RecordKind& kind, int64_t number) {
  if (memory_.Delete(kind, number) == TerminalMemory::DeleteResult::kNotSaved) {
    return {StatusRecord(kind, kStatusNotSaved)};
  }
  std::vector<uint8_t> answer(kind.size, 0);
  termlink::SetRecordNumber(kind, answer, number);
  return {answer};
}

TerminalAnswer Terminal::ReadRecord(const termlink::RecordKind& kind, int64_t number) {
  const RecordMap& records = memory_.Records(kind);
  auto found = records.lower_bound(number);
  if (found == records.end()) return {StatusRecord(kind, kStatusEnd), true};
  return {found->second};
}

TerminalAnswer Terminal::ReadReport(const termlink::RecordKind& kind, int64_t number) {
  if (kind.code == kCodeReportPlu) {
    // One report record per stored PLU, numbered from 0 in PLU number order.
    const RecordMap& plus = memory_.Records(*termlink::FindRecordKind(kCodePlu));
    if (number >= static_cast<int64_t>(plus.size())) return {StatusRecord(kind, kStatusEnd), true};
    auto plu = std::next(plus.begin(), static_cast<std::ptrdiff_t>(number));
    return {PluReportRecord(static_cast<uint16_t>(number), plu->second)};
  }
  ReportRange range = *TotalReportRange(kind.code);
  if (number > range.last) return {StatusRecord(kind, kStatusEnd), true};
  uint16_t wanted = number < range.first ? range.first : static_cast<uint16_t>(number);
  return {TotalReportRecord(kind.code, wanted)};
}
