// The report records a simulated terminal produces: deterministic, so that
// two uploads of the same report give the same file, with time stamps of
// one business day and plausible sales figures.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// The first and last record number of the time (44), group (43) and
// department (42) reports.
struct ReportRange {
  uint16_t first;
  uint16_t last;
};
std::optional<ReportRange> TotalReportRange(uint8_t code);

// Record `number` of the time, group or department report (a
// ReportTotalRecord); `number` lies in the report's range.
std::vector<uint8_t> TotalReportRecord(uint8_t code, uint16_t number);

// Record `number` of the PLU report (a ReportPluRecord): the sales of the
// stored PLU record `plu`.
std::vector<uint8_t> PluReportRecord(uint16_t number, std::span<const uint8_t> plu);
